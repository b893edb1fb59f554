#include "output/JsonWriter.h"

#include "tests/support/CountingSink.h"
#include "tests/support/TestLoans.h"

#include "engine/Schedule.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace brellow {
namespace {

using test::CountingSink;
using test::Loan;

// 1,200.00 at 12 % over 3 months from 15 November 2003 with 100.00 extra: 408.03 a
// month, the third payment in 2004 clears the last 202.98.
TEST(WriteLoanJson, SmallLoanOfOneYearByteForByte) {
    const CTamsicDoc doc = Loan({.amount = 1200,
                                 .periods = 3,
                                 .rate = 12,
                                 .first = OleDateTime::FromDate(2003, 11, 15),
                                 .extra = 100});
    EXPECT_EQ(
        "{\"terms\":{\"loanAmount\":1200.00,\"numPeriods\":3,\"interestRate\":12,"
        "\"firstPayment\":\"2003-11-15\",\"paymentFrequency\":{\"code\":2,\"name\":\"Monthly\"},"
        "\"compoundFrequency\":{\"code\":3,\"name\":\"Monthly\"},\"balloon\":false,"
        "\"balloonPeriod\":0,\"additionalPayment\":100.00},"
        "\"periodicRate\":0.010000000000000009,\"payment\":408.03,"
        "\"payoff\":{\"payments\":3,\"lastPayment\":\"2004-01-15\",\"totalPaid\":1221.07,"
        "\"totalInterest\":21.07,\"withoutAdditionalPayment\":{\"payments\":3,"
        "\"lastPayment\":\"2004-01-15\",\"totalPaid\":1224.08,\"totalInterest\":24.08},"
        "\"saved\":{\"payments\":0,\"years\":0,\"months\":0,\"interest\":3.01}},"
        "\"year\":2004,\"rows\":[\n"
        "{\"period\":3,\"date\":\"2004-01-15\",\"payment\":205.01,\"interest\":2.03,"
        "\"principal\":202.98,\"balance\":0.00}\n"
        "],\"annualTotals\":{\"payment\":205.01,\"interest\":2.03,\"principal\":202.98},"
        "\"runningTotals\":{\"payment\":1221.07,\"interest\":21.07,\"principal\":1200.00}}\n",
        WriteLoanJson(doc, 2004));
}

TEST(WriteLoanJson, EmptyListsNullsAndUnknownCodes) {
    CTamsicDoc doc = Loan({.periods = 0});
    doc.SetFirstPaymentDate(OleDateTime(0.0, OleDateTime::Status::Invalid));
    doc.SetPaymentFrequency(9);
    doc.ComputePayment();
    const std::string json = WriteLoanJson(doc, 2003);
    for (const char* part :
         {"\"firstPayment\":null,\"paymentFrequency\":{\"code\":9,\"name\":\"Unknown\"}",
          "\"payoff\":{\"payments\":0,\"lastPayment\":null,\"totalPaid\":0.00,",
          "\"withoutAdditionalPayment\":null,\"saved\":null}",
          "\"year\":null,\"rows\":[\n],\"annualTotals\":null,"}) {
        EXPECT_NE(std::string::npos, json.find(part)) << part << "\n" << json;
    }
}

// 100,000.00 at 100 % over 1,000 months is paid off with 1,000.00 extra; without it the
// balance would grow beyond the cent limit, so those figures are left out with the reason.
TEST(WriteLoanJson, FiguresBeyondTheCentLimitGiveWayToTheReason) {
    const std::string json = WriteLoanJson(Loan({.periods = 1000, .rate = 100, .extra = 1000}),
                                           kAllYears);
    EXPECT_NE(std::string::npos,
              json.find("\"withoutAdditionalPayment\":null,\"saved\":null,"
                        "\"withoutAdditionalPaymentProblem\":\"Without the additional payment "
                        "the schedule's amounts would exceed what can be shown to the cent.\"}"))
        << json.substr(0, 800);
    EXPECT_EQ(std::string::npos, json.find("e+")) << json.substr(0, 800);
}

// Rows are composed in place unless an amount is past the cent's reach (never in a
// checked loan); a row without a date has null.
TEST(WriteLoanJson, RowsWithoutADateOrBeyondTheCent) {
    const OleDateTime none(0.0, OleDateTime::Status::Null);
    const struct {
        double amount;
        const char* row;
    } cases[] = {
        {1200, "{\"period\":1,\"date\":null,\"payment\":1200.00,\"interest\":0.00,"
               "\"principal\":1200.00,\"balance\":0.00}"},
        {1e17, "{\"period\":1,\"date\":null,\"payment\":100000000000000000.00,"
               "\"interest\":0.00,\"principal\":100000000000000000.00,\"balance\":0.00}"},
    };
    for (const auto& c : cases) {
        const std::string json =
            WriteLoanJson(Loan({.amount = c.amount, .periods = 1, .rate = 0, .first = none}),
                          kAllYears);
        EXPECT_NE(std::string::npos, json.find(std::string("[\n") + c.row + "\n]")) << json;
    }
}

TEST(JsonValues, EscapedStringsAndFiniteNumbers) {
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        std::string (*write)();
        std::string expected;
    } cases[] = {
        {[] {
             std::string out;
             AppendJsonString(out, "a\"b\\c\nd\re\tf\x01g\x1f\x7f$\xc3\xa9");
             return out;
         },
         "\"a\\\"b\\\\c\\nd\\re\\tf\\u0001g\\u001f\x7f$\xc3\xa9\""},
        {[] {
             std::string out;
             for (double value : {0.005, 1e-7, -0.0, 6.0, 1e300}) {
                 AppendJsonNumber(out, value);
                 out += ' ';
             }
             return out;
         },
         "0.005 1e-07 -0 6 1e+300 "},
        {[] {
             std::string out;
             for (double value : {-1234.5, -0.001, 0.125}) {
                 AppendJsonMoney(out, value);
                 out += ' ';
             }
             return out;
         },
         "-1234.50 -0.00 0.12 "},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, c.write());
    std::string out;
    AppendJsonNumber(out, infinity);
    AppendJsonMoney(out, -infinity);
    AppendJsonNumber(out, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ("nullnullnull", out);
}

// A long loan reaches the sink in chunks, and composing stops once the sink fails.
TEST(WriteLoanJson, StreamsInChunksAndStopsAtAFailingSink) {
    const CTamsicDoc doc = Loan({.periods = 20000, .payment = 0});
    CountingSink all;
    ASSERT_TRUE(WriteLoanJson(doc, kAllYears, all));
    EXPECT_EQ(WriteLoanJson(doc, kAllYears).size(), all.bytes);
    EXPECT_GT(all.writes, 10u);
    EXPECT_LT(all.bytes / all.writes, 200u * 1024);

    CountingSink failing;
    failing.failAfter = 2;
    EXPECT_FALSE(WriteLoanJson(doc, kAllYears, failing));
    EXPECT_EQ(2u, failing.writes);
}

}  // namespace
}  // namespace brellow
