#include "output/AmountFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace brellow {
namespace {

TEST(FormatAmount, GroupsTheRoundedText) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "$0.00"},
        {999.99, "$999.99"},
        {1000.0, "$1,000.00"},
        {1234567.891, "$1,234,567.89"},
        {1e9, "$1,000,000,000.00"},
        {999.999, "$1,000.00"},
        {99999.995, "$99,999.99"},  // the double lies just below the half cent
        {-1234.5, "$-1,234.50"},
        {-123.45, "$-123.45"},
        {-123456.0, "$-123,456.00"},
        {-0.001, "$-0.00"},
        {-0.0, "$-0.00"},
        {0.125, "$0.12"},  // an exact tie rounds to even, as printf does
        {0.375, "$0.38"},
        {1e20, "$100,000,000,000,000,000,000.00"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, FormatAmount(c.value)) << c.value;
}

TEST(FormatAmount, WritesNonFiniteValuesAsPrintfDoes) {
    EXPECT_EQ("$inf", FormatAmount(std::numeric_limits<double>::infinity()));
    EXPECT_EQ("$-inf", FormatAmount(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ("$nan", FormatAmount(std::numeric_limits<double>::quiet_NaN()));
}

TEST(FormatAmount, LargestDoubleIsGroupedInFull) {
    const std::string text = FormatAmount(std::numeric_limits<double>::max());
    EXPECT_EQ("$179,769,313,486,231,570", text.substr(0, 24));
    EXPECT_EQ(1 + 309 + 102 + 3, text.size());
}

// The digits must be exactly printf's "%.2f", on both sides of 2^53 where the
// conversion changes method: compare with the separators taken out.
TEST(FormatAmount, MatchesPrintfRounding) {
    std::mt19937_64 random(20240601);
    std::uniform_real_distribution<double> magnitude(-12.0, 22.0);
    std::vector<double> values = {0.005,
                                  0.015,
                                  0.025,
                                  2.675,
                                  1.005,
                                  4503599627370495.5,
                                  9007199254740991.0,
                                  9007199254740992.0,
                                  9007199254740994.0,
                                  5e-324,
                                  1e-300};
    for (int i = 0; i < 50000; ++i) {
        double value = std::pow(10.0, magnitude(random));
        if (i % 3 == 0) value = std::round(value * 1000.0) / 1000.0 + 0.005;  // near ties
        if (i % 5 == 0) value = std::round(value * 8.0) / 8.0;                // exact ties
        values.push_back(i % 2 ? -value : value);
    }
    for (const double value : values) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "$%.2f", value);
        std::string text = FormatAmount(value);
        std::erase(text, ',');
        ASSERT_EQ(expected, text) << value;
        std::string plain;
        AppendPlainAmount(plain, value);
        ASSERT_STREQ(expected + 1, plain.c_str()) << value;
    }
}

TEST(AppendAmount, AppendsToExistingText) {
    std::string out = "Balance: ";
    AppendAmount(out, 1500.0);
    AppendAmount(out, -2.0);
    EXPECT_EQ("Balance: $1,500.00$-2.00", out);
}

// A column copies a repeated figure; a zero of the other sign, or any other figure, is
// written anew, and a figure beyond 2^53 is refused as PutExactAmount refuses it.
TEST(AmountColumn, RepeatsOnlyTheSameFigure) {
    AmountColumn column(true);
    std::string texts;
    for (const double value : {599.55, 599.55, 0.0, -0.0, -0.0, 1e15, 599.55, 1e300}) {
        char text[kMaxExactAmountChars];
        char* const end = column.Put(text, value);
        texts += end == nullptr ? std::string("null") : std::string(text, end);
        texts += ' ';
    }
    EXPECT_EQ("$599.55 $599.55 $0.00 $-0.00 $-0.00 $1,000,000,000,000,000.00 $599.55 null ",
              texts);
}

TEST(TrimTrailingZeros, KeepsTheSignificantDecimals) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"7.500000", "7.5"},  {"7.000000", "7"},     {"12.125000", "12.125"}, {"0.000000", "0"},
        {"0.050000", "0.05"}, {"100.000000", "100"}, {"-2.250000", "-2.25"},  {"", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.in;
        TrimTrailingZeros(text);
        EXPECT_EQ(c.out, text) << c.in;
    }
}

TEST(FormatRate, RoundsToSixDecimalsThenTrims) {
    EXPECT_EQ("7.5", FormatRate(7.5));
    EXPECT_EQ("8", FormatRate(8.0));
    EXPECT_EQ("6.123457", FormatRate(6.1234567));
    EXPECT_EQ("0", FormatRate(0.0000001));
    EXPECT_EQ("-500", FormatRate(-500.0));
}

TEST(FormatRate, IgnoresTheLocaleDecimalComma) {
    const char* const german[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"};
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool switched = false;
    for (const char* name : german) switched = switched || std::setlocale(LC_ALL, name);
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string rate = FormatRate(7.25);
    const std::string amount = FormatAmount(1234.5);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ("7.25", rate);
    EXPECT_EQ("$1,234.50", amount);
}

TEST(AppendInt, WritesPlainDecimal) {
    std::string out;
    for (const long long value : {-2147483648LL, 360LL, 0LL, 9LL, 10LL, 99LL, 100LL, 999LL,
                                  1000LL, -1000000LL, std::numeric_limits<long long>::min(),
                                  std::numeric_limits<long long>::max()}) {
        AppendInt(out, value);
        out += ' ';
    }
    EXPECT_EQ(
        "-2147483648 360 0 9 10 99 100 999 1000 -1000000 -9223372036854775808 "
        "9223372036854775807 ",
        out);
}

}  // namespace
}  // namespace brellow
