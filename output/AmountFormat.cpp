#include "output/AmountFormat.h"

#include "engine/DigitPairs.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>

namespace brellow {

namespace {

// Room for the longest fixed-point text of a double: a sign, 309 integer digits, a
// point and six decimals.
constexpr std::size_t kFixedBufferSize = 330;
// The same grouped by three, plus "$".
constexpr std::size_t kGroupedBufferSize = kFixedBufferSize + kFixedBufferSize / 3 + 1;

// std::to_chars with a precision rounds exactly as printf's "%.*f" does and ignores
// the locale; "nan", "-nan", "inf" and "-inf" come out as printf writes them too.
std::size_t PrintFixed(char (&buffer)[kFixedBufferSize], double value, int decimals) {
    const auto result =
        std::to_chars(buffer, buffer + kFixedBufferSize, value, std::chars_format::fixed, decimals);
    return static_cast<std::size_t>(result.ptr - buffer);
}

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// The whole cents of |value| for |value| below 2^53, rounded as printf rounds: the
// double is exactly m × 2^e, so m × 100 × 2^e is split into whole cents and an exact
// remainder, and a remainder of exactly half a cent goes to the even neighbour
// (0.125 -> 12 cents, 0.375 -> 38). Long schedules format millions of amounts, and this
// is several times faster than the general conversion.
std::optional<std::uint64_t> ExactCents(double value) noexcept {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biasedExponent = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa =
        biasedExponent == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int exponent = (biasedExponent == 0 ? 1 : biasedExponent) - 1075;
    if (exponent > 0) return std::nullopt;  // 2^53 and above, infinities, NaN

    const std::uint64_t scaled = mantissa * 100;  // below 2^60
    const int shift = -exponent;
    if (shift == 0) return scaled;
    if (shift > 60) return 0;  // less than half a cent
    const std::uint64_t cents = scaled >> shift;
    const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    return cents + ((rest > half || (rest == half && (cents & 1))) ? 1 : 0);
}

bool IsNegative(double value) noexcept {
    return std::bit_cast<std::uint64_t>(value) >> 63 != 0;
}

// The three digits of 0..999 at `to`; returns the end. Millions of amounts are formatted
// for a long schedule: a group of three at a time needs one division where single digits
// need three.
char* PutTriple(char* to, unsigned group) noexcept {
    static constexpr auto kTriples = [] {
        std::array<char, 3000> digits{};
        for (unsigned i = 0; i < 1000; ++i) {
            digits[3 * i] = static_cast<char>('0' + i / 100);
            digits[3 * i + 1] = static_cast<char>('0' + i / 10 % 10);
            digits[3 * i + 2] = static_cast<char>('0' + i % 10);
        }
        return digits;
    }();
    std::memcpy(to, &kTriples[3 * group], 3);
    return to + 3;
}

// Writes `value` at `to`, with "," between groups of three when `commas`; returns the end.
// The groups are taken from the right and written from the left: a leading group of one
// to three digits, then up to six of three (2^64 has 20 digits).
char* PutGroupedDigits(char* to, std::uint64_t value, bool commas) noexcept {
    unsigned groups[6];
    int count = 0;
    while (value >= 1000) {
        groups[count++] = static_cast<unsigned>(value % 1000);
        value /= 1000;
    }
    const auto leading = static_cast<unsigned>(value);
    if (leading >= 100) {
        to = PutTriple(to, leading);
    } else if (leading >= 10) {
        to = PutDigitPair(to, leading);
    } else {
        *to++ = static_cast<char>('0' + leading);
    }
    while (count > 0) {
        if (commas) *to++ = ',';
        to = PutTriple(to, groups[--count]);
    }
    return to;
}

// Appends "$-1,234.50" (`money`) or "-1234.50" when the value is below 2^53 in
// magnitude; false, and nothing appended, for larger or non-finite values.
bool AppendExactCents(std::string& out, double value, bool money) {
    char text[kMaxExactAmountChars];
    char* const end = PutExactAmount(text, value, money);
    if (end == nullptr) return false;
    out.append(text, end);
    return true;
}

}  // namespace

char* PutExactAmount(char* to, double value, bool money) noexcept {
    const auto cents = ExactCents(value);
    if (!cents) return nullptr;
    if (money) *to++ = '$';
    if (IsNegative(value)) *to++ = '-';
    to = PutGroupedDigits(to, *cents / 100, money);
    *to++ = '.';
    return PutDigitPair(to, static_cast<unsigned>(*cents % 100));
}

char* AmountColumn::Put(char* to, double value) noexcept {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if (bits == m_bits && m_length > 0) {
        // Whole-buffer copies are one move each; only m_length of it counts.
        std::memcpy(to, m_text, kMaxExactAmountChars);
        return to + m_length;
    }
    char* const end = PutExactAmount(to, value, m_money);
    if (end == nullptr) return nullptr;
    std::memcpy(m_text, to, kMaxExactAmountChars);
    m_bits = bits;
    m_length = end - to;
    return end;
}

void AppendAmount(std::string& out, double value) {
    if (AppendExactCents(out, value, true)) return;
    char fixed[kFixedBufferSize];
    const std::size_t length = PrintFixed(fixed, value, 2);
    const char* const end = fixed + length;
    const char* digits = fixed;

    char grouped[kGroupedBufferSize];
    char* to = grouped;
    *to++ = '$';
    if (*digits == '-') *to++ = *digits++;

    const char* const point = std::find(digits, end, '.');
    const std::size_t integerDigits = static_cast<std::size_t>(point - digits);
    if (integerDigits > 3 && IsDigit(*digits)) {
        // A leading group of one to three digits, then "," before every further three.
        std::size_t group = integerDigits % 3 == 0 ? 3 : integerDigits % 3;
        while (digits != point) {
            to = std::copy(digits, digits + group, to);
            digits += group;
            if (digits != point) *to++ = ',';
            group = 3;
        }
    }
    to = std::copy(digits, end, to);
    out.append(grouped, static_cast<std::size_t>(to - grouped));
}

void AppendPlainAmount(std::string& out, double value) {
    if (AppendExactCents(out, value, false)) return;
    char fixed[kFixedBufferSize];
    out.append(fixed, PrintFixed(fixed, value, 2));
}

std::string FormatAmount(double value) {
    std::string text;
    AppendAmount(text, value);
    return text;
}

void TrimTrailingZeros(std::string& text) {
    // Zeros become blanks from the right, then a bare point; a text that is left
    // starting with a blank (it was all zeros) reads "0"; then the blanks go.
    std::size_t i = text.size();
    while (i > 0 && text[i - 1] == '0') text[--i] = ' ';
    if (i > 0 && text[i - 1] == '.') text[i - 1] = ' ';
    if (!text.empty() && text.front() == ' ') text.front() = '0';
    const auto last = text.find_last_not_of(" \t\r\n\v\f");
    text.erase(last == std::string::npos ? 0 : last + 1);
}

std::string FormatRate(double percent) {
    char fixed[kFixedBufferSize];
    std::string text(fixed, PrintFixed(fixed, percent, 6));
    TrimTrailingZeros(text);
    return text;
}

char* PutInt(char* to, long long value) noexcept {
    auto magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *to++ = '-';
        magnitude = 0 - magnitude;
    }
    return PutGroupedDigits(to, magnitude, false);
}

void AppendInt(std::string& out, long long value) {
    char buffer[kMaxIntChars];
    out.append(buffer, PutInt(buffer, value));
}

}  // namespace brellow
