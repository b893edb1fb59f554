#include "engine/NumberParse.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace brellow {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// from_chars takes no leading "+"; a "+" followed by the number is still a number.
std::string_view WithoutPlus(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && (IsDigit(text[1]) || text[1] == '.')) {
        text.remove_prefix(1);
    }
    return text;
}

template <typename T>
std::optional<T> ParseWhole(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) noexcept {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<double> ParseDouble(std::string_view text) {
    text = WithoutPlus(TrimBlanks(text));
    // Only decimal digits, signs, points and exponents: no "inf", "nan" or hex.
    for (const char c : text) {
        if (!IsDigit(c) && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E') {
            return std::nullopt;
        }
    }
    const auto value = ParseWhole<double>(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

std::optional<int> ParseInt(std::string_view text) {
    text = WithoutPlus(TrimBlanks(text));
    if (text.empty() || text.front() == '+') return std::nullopt;
    return ParseWhole<int>(text);
}

std::optional<unsigned> ParseUnsigned(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
    return ParseWhole<unsigned>(text);
}

}  // namespace brellow
