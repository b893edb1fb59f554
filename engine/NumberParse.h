#pragma once

// Reading numbers typed by a person: the same text means the same number whatever the
// user's locale (the decimal separator is always "."). Blanks around the number are
// allowed; anything else around it fails.

#include <optional>
#include <string_view>

namespace brellow {

// `text` without the spaces and tabs at either end: the blanks every reader of typed
// numbers and dates allows around its value.
std::string_view TrimBlanks(std::string_view text) noexcept;

// A decimal floating-point number ("1500", "-2.5", "1e3", "+7."); nullopt for any
// other text, and for "inf", "nan" or a number too large for a double.
std::optional<double> ParseDouble(std::string_view text);
// Money as a person types it or FormatAmount writes it: an optional "$" with a minus sign
// before or after it, digits grouped by three with "," and a decimal point
// ("$350,000.00", "-$1,234.50", "$-1,234.50", "350,000"). A text with neither "$" nor ","
// is read as ParseDouble reads it ("1e3"); with either, only the form above is read
// ("1,00", "$1e3" and "$ 5" fail). The value is the plain number's, so "$1,234.10" gives
// exactly the double that "1234.10" gives.
std::optional<double> ParseMoney(std::string_view text);
// An optionally signed decimal integer that fits 32 bits.
std::optional<int> ParseInt(std::string_view text);
// An unsigned decimal integer that fits 32 bits (no sign).
std::optional<unsigned> ParseUnsigned(std::string_view text);

}  // namespace brellow
