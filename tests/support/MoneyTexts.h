#pragma once

// Money as people type it, for every reader of money fields and options: the texts read
// and the value each gives, and the texts refused.

#include <optional>

namespace brellow::test {

struct MoneyText {
    const char* text;
    std::optional<double> value;  // nullopt: refused with the field's usual message
};

inline constexpr MoneyText kMoneyTexts[] = {
    // As the program shows amounts, and the plain numbers read before.
    {"$350,000.00", 350000.0},
    {"350,000", 350000.0},
    {"$1,234,567.89", 1234567.89},
    {"-$1,234.10", -1234.10},
    {"$-1,234.10", -1234.10},
    {"-1,234.10", -1234.10},
    {" $999.5 ", 999.5},
    {"$.5", 0.5},
    {"1234.5", 1234.5},
    {"1e3", 1000.0},
    // Groups other than of three, and forms nobody shows.
    {"1,00", std::nullopt},
    {"1,0000", std::nullopt},
    {"1000,000", std::nullopt},
    {",100", std::nullopt},
    {"1,,000", std::nullopt},
    {"1.000,50", std::nullopt},
    {"$", std::nullopt},
    {"-$", std::nullopt},
    {"$ 5", std::nullopt},
    {"$$5", std::nullopt},
    {"5$", std::nullopt},
    {"-$-5", std::nullopt},
    {"+$5", std::nullopt},
    {"$1e3", std::nullopt},
    {"1,000e3", std::nullopt},
};

}  // namespace brellow::test
