#include "engine/Limits.h"
#include "engine/NumberParse.h"
#include "engine/OleDateTime.h"
#include "tests/support/MoneyTexts.h"

#include <gtest/gtest.h>

#include <chrono>

namespace brellow {
namespace {

TEST(OleDateTime, DayCountsAndNegativeConvention) {
    EXPECT_EQ(0.0, OleDateTime::FromDate(1899, 12, 30).Value());
    EXPECT_EQ(37622.0, OleDateTime::FromDate(2003, 1, 1).Value());
    EXPECT_EQ(double(kMinDay), OleDateTime::FromDate(100, 1, 1).Value());
    // -1.25 is 29 December 1899 at 06:00: whole part toward zero is the day.
    const auto civil = ToCivil(OleDateTime(-1.25, OleDateTime::Status::Valid));
    ASSERT_TRUE(civil);
    EXPECT_EQ(29, civil->day);
    EXPECT_EQ(6, civil->hour);
    EXPECT_EQ(-1.25, OleDateTime::FromCivil({1899, 12, 29, 6, 0, 0}).Value());
}

TEST(OleDateTime, RangeAndStatus) {
    EXPECT_EQ(OleDateTime::Status::Invalid, OleDateTime::FromDate(99, 12, 31).GetStatus());
    EXPECT_EQ(OleDateTime::Status::Invalid, OleDateTime::FromDate(10000, 1, 1).GetStatus());
    EXPECT_EQ(OleDateTime::Status::Invalid, OleDateTime::FromDate(2023, 2, 29).GetStatus());
    EXPECT_TRUE(OleDateTime::FromDate(9999, 12, 31).HasCalendarDate());
    EXPECT_FALSE(OleDateTime(3e6, OleDateTime::Status::Valid).HasCalendarDate());
    EXPECT_FALSE(OleDateTime(37622.0, OleDateTime::Status::Null).HasCalendarDate());
    EXPECT_EQ("", FormatDate(OleDateTime(37622.0, OleDateTime::Status::Invalid)));
    EXPECT_EQ("", FormatDate(OleDateTime(1e300, OleDateTime::Status::Valid)));
}

TEST(OleDateTime, FormatsMonthFirstWhateverTheLocale) {
    EXPECT_EQ("04/01/2003", FormatDate(OleDateTime::FromDate(2003, 4, 1)));
    EXPECT_EQ("12/31/9999", FormatDate(OleDateTime::FromDate(9999, 12, 31)));
    EXPECT_EQ("2003-04-01", FormatIsoDate(OleDateTime::FromDate(2003, 4, 1)));
    // A time a breath before midnight reads as the next day.
    EXPECT_EQ("01/01/2004",
              FormatDate(OleDateTime(OleDateTime::FromDate(2003, 12, 31).Value() + 0.9999999,
                                     OleDateTime::Status::Valid)));
}

// Every day of years -32,767 to 32,767 against the standard library's calendar, and the
// texts of the earliest and shortest years.
TEST(OleDateTime, CivilDaysAgreeWithTheStandardCalendar) {
    using namespace std::chrono;
    const std::int64_t unixEpoch = DayFromCivil(1970, 1, 1);
    const auto first = sys_days{year_month_day{year(-32767), January, day(1)}};
    const auto last = sys_days{year_month_day{year(32767), December, day(31)}};
    for (sys_days d = first; d <= last; d += days{1}) {
        const year_month_day expected{d};
        const CivilDateTime civil = CivilFromDay(d.time_since_epoch().count() + unixEpoch);
        ASSERT_EQ(int(expected.year()), civil.year);
        ASSERT_EQ(unsigned(expected.month()), unsigned(civil.month));
        ASSERT_EQ(unsigned(expected.day()), unsigned(civil.day));
    }
    EXPECT_EQ("01/01/100", FormatDate(OleDateTime::FromDate(100, 1, 1)));
    EXPECT_EQ("0999-02-09", FormatIsoDate(OleDateTime::FromDate(999, 2, 9)));
}

TEST(ParseDate, AcceptedForms) {
    EXPECT_EQ(OleDateTime::FromDate(2003, 4, 1), ParseDate("04/01/2003"));
    EXPECT_EQ(OleDateTime::FromDate(2003, 4, 1), ParseDate(" 4/1/2003 "));
    EXPECT_EQ(OleDateTime::FromDate(2003, 4, 1), ParseDate("2003-04-01"));
    EXPECT_EQ(OleDateTime::FromCivil({2003, 4, 1, 13, 5, 0}), ParseDate("04/01/2003 13:05"));
    EXPECT_EQ(OleDateTime::FromCivil({2003, 4, 1, 13, 5, 9}), ParseDate("2003-04-01T13:05:09"));
    EXPECT_EQ(OleDateTime::FromCivil({2003, 4, 1, 13, 5, 0}), ParseDate("\t2003-04-01 \t13:05\t"));
    for (const char* bad :
         {"", "  ", "13/01/2003", "02/30/2003", "04/01", "04-01-2003", "2003/04/01", "04/01/2003x",
          "04/01/99", "04/01/2003 25:00", "1/1/10000", "tomorrow"}) {
        EXPECT_FALSE(ParseDate(bad)) << bad;
    }
}

TEST(NumberParse, Doubles) {
    EXPECT_EQ(1500.0, ParseDouble("1500"));
    EXPECT_EQ(-2.5, ParseDouble(" -2.5 "));
    EXPECT_EQ(-2.5, ParseDouble("\t-2.5\t"));
    EXPECT_EQ(1000.0, ParseDouble("1e3"));
    EXPECT_EQ(7.0, ParseDouble("+7."));
    EXPECT_EQ(0.5, ParseDouble(".5"));
    for (const char* bad :
         {"", " ", "1,5", "12x", "inf", "nan", "-inf", "0x10", "1e999", "+", "--1", "1 2"}) {
        EXPECT_FALSE(ParseDouble(bad)) << bad;
    }
}

TEST(NumberParse, MoneyAsTheProgramWritesIt) {
    for (const auto& [text, value] : test::kMoneyTexts) EXPECT_EQ(value, ParseMoney(text)) << text;
}

TEST(NumberParse, Integers) {
    EXPECT_EQ(360, ParseInt("360"));
    EXPECT_EQ(-1, ParseInt("-1"));
    EXPECT_EQ(5, ParseInt(" +5 "));
    EXPECT_EQ(2147483647, ParseInt("2147483647"));
    for (const char* bad : {"", "12x", "1.5", "2147483648", "1e3", "++1"}) {
        EXPECT_FALSE(ParseInt(bad)) << bad;
    }
    EXPECT_EQ(4294967295u, ParseUnsigned("4294967295"));
    EXPECT_FALSE(ParseUnsigned("-1"));
    EXPECT_FALSE(ParseUnsigned("4294967296"));
}

}  // namespace
}  // namespace brellow
