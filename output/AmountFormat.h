#pragma once

// Money and rates as every presenter shows them.
//
// FormatAmount prints "$%.2lf" (correctly rounded, as printf rounds) and groups the
// integer digits by three with ",": 1234567.891 -> "$1,234,567.89", 999.999 ->
// "$1,000.00" (grouped after rounding), -1234.5 -> "$-1,234.50" (the sign stands
// between "$" and the digits), -0.001 -> "$-0.00". It never rounds the value first.
//
// Rates print with "%lf" (six decimals), then TrimTrailingZeros drops the zeros and a
// bare point: 7.500000 -> 7.5, 8.000000 -> 8, 0.000000 -> 0.
//
// Neither depends on the user's locale.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brellow {

std::string FormatAmount(double value);
// Appends FormatAmount(value) to `out` without a temporary string.
void AppendAmount(std::string& out, double value);
// Appends "%.2f" of the value: no "$", no separators ("-1234.50"), for spreadsheets.
void AppendPlainAmount(std::string& out, double value);

// Edits a "%lf" text in place to its shortest decimal form.
void TrimTrailingZeros(std::string& text);
// The annual rate as shown in a loan summary, without the "%": "7.5", "8".
std::string FormatRate(double percent);

// "%d" of an int, appended.
void AppendInt(std::string& out, long long value);

// For writers that compose a whole line in place: each writes at `to` and returns the
// end. PutExactAmount writes what AppendAmount (`money`) or AppendPlainAmount would
// append for a value below 2^53 in magnitude, as every figure of a schedule the engine
// accepts is (its cents stay below 2^53); for any other value it writes nothing and
// returns nullptr.
inline constexpr int kMaxExactAmountChars = 32;
inline constexpr int kMaxIntChars = 24;
char* PutExactAmount(char* to, double value, bool money) noexcept;
char* PutInt(char* to, long long value) noexcept;

// PutExactAmount for one column of a table, which keeps the text it wrote last: a
// schedule repeats one figure row after row (the level payment, a zero interest), and a
// repeat is copied rather than formatted again.
class AmountColumn {
public:
    explicit AmountColumn(bool money) noexcept : m_money(money) {}
    // As PutExactAmount; `to` has room for kMaxExactAmountChars.
    char* Put(char* to, double value) noexcept;

private:
    bool m_money;
    std::uint64_t m_bits = 0;
    std::ptrdiff_t m_length = 0;  // 0 until a figure is written
    char m_text[kMaxExactAmountChars] = {};
};

// The payment, interest, principal and balance columns of schedule rows.
using RowAmountColumns = std::array<AmountColumn, 4>;
inline RowAmountColumns MakeRowAmountColumns(bool money) noexcept {
    return {AmountColumn(money), AmountColumn(money), AmountColumn(money), AmountColumn(money)};
}

// The text itself: a separator, a key or markup.
inline char* PutText(char* to, std::string_view text) noexcept {
    // Most are a character or two, not worth a call to copy.
    if (text.size() == 1) {
        *to = text[0];
        return to + 1;
    }
    return std::copy(text.begin(), text.end(), to);
}

}  // namespace brellow
