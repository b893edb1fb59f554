#include "engine/NumberParse.h"

#include <charconv>
#include <cmath>
#include <string>
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

// The digits of `text` without its group separators when it reads "1,234,567.89",
// "1234567.89" or ".5"; nullopt for any other text.
std::optional<std::string> UngroupedDigits(std::string_view text) {
    std::size_t at = 0;
    const auto digits = [&] {
        const std::size_t start = at;
        while (at < text.size() && IsDigit(text[at])) ++at;
        return text.substr(start, at - start);
    };
    std::string plain(digits());
    const std::size_t leading = plain.size();
    while (at < text.size() && text[at] == ',') {
        ++at;
        const std::string_view group = digits();
        if (leading == 0 || leading > 3 || group.size() != 3) return std::nullopt;
        plain += group;
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
        const std::string_view fraction = digits();
        if (leading == 0 && fraction.empty()) return std::nullopt;
        plain += '.';
        plain += fraction;
    } else if (leading == 0) {
        return std::nullopt;
    }
    if (at != text.size()) return std::nullopt;
    return plain;
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

std::optional<double> ParseMoney(std::string_view text) {
    text = TrimBlanks(text);
    if (text.find_first_of("$,") == std::string_view::npos) return ParseDouble(text);
    bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    if (text.starts_with('$')) {
        text.remove_prefix(1);
        if (!negative && text.starts_with('-')) {
            negative = true;
            text.remove_prefix(1);
        }
    }
    const auto digits = UngroupedDigits(text);
    if (!digits) return std::nullopt;
    return ParseDouble(negative ? '-' + *digits : *digits);
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
