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
// An optionally signed decimal integer that fits 32 bits.
std::optional<int> ParseInt(std::string_view text);
// An unsigned decimal integer that fits 32 bits (no sign).
std::optional<unsigned> ParseUnsigned(std::string_view text);

}  // namespace brellow
