#include "output/ComparisonWriters.h"

#include "tests/support/TestLoans.h"

#include <gtest/gtest.h>

#include <vector>

namespace brellow {
namespace {

using test::Loan;
using test::LoanFields;

// A title that holds the separators, an undated loan and one beyond the cent limit,
// whose figures give way to the reason in every format.
LoanComparison Compared() {
    CTamsicDoc undated = Loan("x,\"y\"\tz", {.amount = 1000, .periods = 12});
    undated.SetFirstPaymentDate(OleDateTime(0.0, OleDateTime::Status::Invalid));
    return CompareLoans(
        std::vector<CTamsicDoc>{undated, Loan("long", {.periods = 50000, .payment = 0})});
}

const char* const kReason = "The schedule's amounts would exceed what can be shown to the cent.";

TEST(ComparisonWriters, TextCsvAndJson) {
    const std::string reason = kReason;
    const std::string r = "\t" + reason;
    EXPECT_EQ(
        "\tx,\"y\" z (cheapest)\tlong\r\n"
        "Loan Amount\t$1,000.00\t$100,000.00\r\n"
        "Interest Rate\t6%\t6%\r\n"
        "Payment Period\tMonthly\tWeekly\r\n"
        "# of Periods\t12\t50000\r\n"
        "Payment per Period\t$86.07\t$124.77\r\n"
        "Additional Payment\t$0.00\t$0.00\r\n"
        "Payments until Paid Off\t12" +
            r +
            "\r\n"
            "Last Payment\t" +
            r +
            "\r\n"
            "Total Paid\t$1,032.80" +
            r +
            "\r\n"
            "Total Interest\t$32.80" +
            r +
            "\r\n"
            "Total Interest vs. Cheapest\t$0.00" +
            r +
            "\r\n"
            "Total Paid vs. Cheapest\t$0.00" +
            r + "\r\n",
        WriteComparison(Compared(), ComparisonFormat::Text));

    const std::string csv = WriteComparison(Compared(), ComparisonFormat::Csv);
    EXPECT_EQ(",\"x,\"\"y\"\" z (cheapest)\",long\r\nLoan Amount,1000.00,100000.00\r\n",
              csv.substr(0, csv.find("Interest Rate")));
    EXPECT_NE(std::string::npos, csv.find("Last Payment,," + reason + "\r\n"));
    EXPECT_NE(std::string::npos, csv.find("Total Paid,1032.80," + reason + "\r\n"));

    EXPECT_EQ(
        "{\"cheapest\":0,\"loans\":[\n"
        "{\"title\":\"x,\\\"y\\\"\\tz\",\"loanAmount\":1000.00,\"interestRate\":6,"
        "\"paymentFrequency\":{\"code\":2,\"name\":\"Monthly\"},\"numPeriods\":12,"
        "\"payment\":86.07,\"additionalPayment\":0.00,\"payoff\":{\"payments\":12,"
        "\"lastPayment\":null,\"totalPaid\":1032.80,\"totalInterest\":32.80},"
        "\"interestVsCheapest\":0.00,\"paidVsCheapest\":0.00},\n"
        "{\"title\":\"long\",\"loanAmount\":100000.00,\"interestRate\":6,"
        "\"paymentFrequency\":{\"code\":0,\"name\":\"Weekly\"},\"numPeriods\":50000,"
        "\"payment\":124.77,\"additionalPayment\":0.00,\"payoff\":null,\"problem\":\"" +
            reason + "\",\"interestVsCheapest\":null,\"paidVsCheapest\":null}\n]}\n",
        WriteComparison(Compared(), ComparisonFormat::Json));
}

}  // namespace
}  // namespace brellow
