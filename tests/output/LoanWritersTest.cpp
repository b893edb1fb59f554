#include "output/LoanWriters.h"

#include "tests/support/CountingSink.h"
#include "tests/support/TestLoans.h"

#include "engine/CTamsicDoc.h"
#include "engine/LoanTerms.h"
#include "engine/OleDateTime.h"
#include "engine/Schedule.h"
#include "output/LoanSummary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brellow {
namespace {

using test::CountingSink;
using test::Loan;
using Terms = test::LoanFields;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(text.size(), start) << "text does not end in CR LF";
    return lines;
}

std::string TableTail(const std::string& text) {
    return text.substr(text.find("Period\t"));
}

TEST(WriteLoanText, SmallLoanByteForByte) {
    const CTamsicDoc doc = Loan({.amount = 1200.0, .periods = 3, .rate = 12.0});
    EXPECT_EQ(
        "Loan Amount: $1,200.00\r\n"
        "Interest Rate: 12%\r\n"
        "# of Periods: 3\r\n"
        "Payment per Period: $408.03\r\n"
        "Payment Period: Monthly\r\n"
        "Compound Period: Monthly\r\n"
        "Balloon Payment: No\r\n"
        "\r\n"
        "Period\tDate\tPayment\tInterest\tPrincipal\tBalance\r\n"
        "1\t01/01/2003\t$408.03\t$12.00\t$396.03\t$803.97\r\n"
        "2\t02/01/2003\t$408.03\t$8.04\t$399.99\t$403.98\r\n"
        "3\t03/01/2003\t$408.02\t$4.04\t$403.98\t$0.00\r\n"
        "Running Totals:\t\t$1,224.08\t$24.08\t$1,200.00\r\n",
        WriteLoanText(doc, kAllYears));
}

TEST(WriteLoanText, WorkedPaymentsInTheSummary) {
    const struct {
        Terms terms;
        const char* line;
    } cases[] = {
        {{}, "Payment per Period: $599.55"},
        {{.periods = 1560, .payment = 0}, "Payment per Period: $145.58"},
        {{.amount = 10000, .periods = 36, .rate = 12, .compound = 5},
         "Payment per Period: $331.58"},
        {{.amount = 200000, .rate = 5, .compound = 0}, "Payment per Period: $1,074.88"},
        {{.amount = 12000, .periods = 12, .rate = 0}, "Payment per Period: $1,000.00"},
        {{.rate = 7.5}, "Interest Rate: 7.5%"},
    };
    for (const auto& c : cases) {
        const auto lines = Lines(WriteLoanText(Loan(c.terms), kAllYears));
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.line), lines.end()) << c.line;
    }
}

TEST(WriteLoanText, LastRowOfThe360MonthLoanClearsTheBalance) {
    const auto lines = Lines(WriteLoanText(Loan({}), kAllYears));
    ASSERT_EQ(8u + 1 + 360 + 1, lines.size());
    EXPECT_EQ("1\t01/01/2003\t$599.55\t$500.00\t$99.55\t$99,900.45", lines[9]);
    EXPECT_EQ("360\t12/01/2032\t$600.08\t$2.99\t$597.09\t$0.00", lines[368]);
    EXPECT_EQ("Running Totals:\t\t$215,838.53\t$115,838.53\t$100,000.00", lines.back());
}

TEST(WriteLoanText, BalloonEndsAtItsPeriod) {
    const auto lines = Lines(WriteLoanText(Loan({.balloon = 60}), kAllYears));
    EXPECT_EQ("Balloon Payment: Yes", lines[6]);
    EXPECT_EQ("Balloon Payment at Period: 60", lines[7]);
    EXPECT_EQ("", lines[8]);
    ASSERT_EQ(9u + 1 + 60 + 1, lines.size());
    // Row 60 pays the whole balance left after row 59 as principal.
    EXPECT_EQ("59\t11/01/2007\t$599.55\t$466.60\t$132.95\t$93,188.00", lines[68]);
    EXPECT_EQ("60\t12/01/2007\t$93,653.94\t$465.94\t$93,188.00\t$0.00", lines[69]);
}

TEST(WriteLoanText, AdditionalPaymentLineFromTwoTenthsOfACent) {
    const struct {
        double extra;
        const char* line;  // nullptr: no line
        std::size_t rows;
    } cases[] = {
        {0.001, nullptr, 360},
        {-0.001, nullptr, 360},
        {0.002, "Additional Payment Per Period: $0.00", 360},
        {-0.002, "Additional Payment Per Period: $-0.00", 360},
        {100.0, "Additional Payment Per Period: $100.00", 252},
    };
    for (const auto& c : cases) {
        const auto lines = Lines(WriteLoanText(Loan({.extra = c.extra}), kAllYears));
        const std::size_t summary = c.line ? 8 : 7;
        EXPECT_EQ(c.line ? c.line : "Payment Period: Monthly", lines[4]) << c.extra;
        EXPECT_EQ(summary + 2 + c.rows + 1, lines.size()) << c.extra;
        EXPECT_EQ("$0.00", lines[lines.size() - 2].substr(lines[lines.size() - 2].rfind('\t') + 1));
    }
}

TEST(WriteLoanText, ZeroPeriodsGiveHeadsAndZeroTotals) {
    const CTamsicDoc doc = Loan({.amount = 5000, .periods = 0});
    const std::string summary =
        "Loan Amount: $5,000.00\r\n"
        "Interest Rate: 6%\r\n"
        "# of Periods: 0\r\n"
        "Payment per Period: $0.00\r\n"
        "Payment Period: Monthly\r\n"
        "Compound Period: Monthly\r\n"
        "Balloon Payment: No\r\n"
        "\r\n"
        "Period\tDate\tPayment\tInterest\tPrincipal\tBalance\r\n";
    EXPECT_EQ(summary + "Running Totals:\t\t$0.00\t$0.00\t$0.00\r\n",
              WriteLoanText(doc, kAllYears));
    EXPECT_EQ(summary +
                  "Annual Totals:\t\t$0.00\t$0.00\t$0.00\r\n"
                  "Running Totals:\t\t$0.00\t$0.00\t$0.00\r\n",
              WriteLoanText(doc, 2003));
}

TEST(WriteLoanText, YearFilterListsOneYearWithRunningTotalsToItsEnd) {
    const CTamsicDoc doc = Loan({});
    const std::string whole = Lines(WriteLoanText(doc, kAllYears)).back();
    const std::string wholeSums = whole.substr(whole.find('\t'));

    const auto first = Lines(WriteLoanText(doc, 2003));
    ASSERT_EQ(7u + 1 + 1 + 12 + 2, first.size());
    EXPECT_EQ("1\t01/01/2003", first[9].substr(0, 12));
    EXPECT_EQ("12\t12/01/2003", first[20].substr(0, 13));
    EXPECT_EQ(first[21].substr(first[21].find('\t')), first[22].substr(first[22].find('\t')));

    const auto second = Lines(WriteLoanText(doc, 2004));
    EXPECT_EQ("13\t01/01/2004", second[9].substr(0, 13));  // numbering runs on
    EXPECT_EQ("Running Totals:\t\t$14,389.20\t$11,857.45\t$2,531.75", second.back());

    const auto last = Lines(WriteLoanText(doc, 2032));
    EXPECT_EQ(wholeSums, last.back().substr(last.back().find('\t')));

    const auto before = Lines(WriteLoanText(doc, 1990));
    ASSERT_EQ(7u + 1 + 1 + 2, before.size());
    EXPECT_EQ("Annual Totals:\t\t$0.00\t$0.00\t$0.00", before[9]);
    EXPECT_EQ("Running Totals:\t\t$0.00\t$0.00\t$0.00", before[10]);

    const auto after = Lines(WriteLoanText(doc, 2050));
    ASSERT_EQ(7u + 1 + 1 + 2, after.size());
    EXPECT_EQ("Annual Totals:\t\t$0.00\t$0.00\t$0.00", after[9]);
    EXPECT_EQ(whole, after[10]);
}

TEST(WriteLoanText, InvalidFirstDateListsEveryRowWithEmptyDates) {
    Terms terms{.periods = 2};
    terms.first = OleDateTime(0.0, OleDateTime::Status::Invalid);
    const auto lines = Lines(WriteLoanText(Loan(terms), 2003));
    ASSERT_EQ(7u + 1 + 1 + 2 + 1, lines.size());
    EXPECT_EQ("1\t\t$50,375.31", lines[9].substr(0, 13));
    EXPECT_EQ("Running Totals:", lines[11].substr(0, 15));
}

TEST(WriteTableText, IsTheTableOfTheTextExport) {
    const CTamsicDoc doc = Loan({.balloon = 100, .extra = 50});
    for (const int year : {kAllYears, 2003, 2005, 2011, 1900}) {
        EXPECT_EQ(TableTail(WriteLoanText(doc, year)), WriteTableText(doc, year)) << year;
    }
    const CTamsicDoc empty = Loan({.periods = 0});
    EXPECT_EQ(
        "Period\tDate\tPayment\tInterest\tPrincipal\tBalance\r\n"
        "Running Totals:\t\t$0.00\t$0.00\t$0.00\r\n",
        WriteTableText(empty, kAllYears));
}

TEST(WriteLoanHtml, ZeroPeriodPageByteForByte) {
    const CTamsicDoc doc = Loan({.amount = 5000, .periods = 0, .balloon = 1});
    EXPECT_EQ(
        "<html>\r\n<body>\r\n<H1>Loan Document</H1>\r\n"
        "Loan Amount: $5,000.00<br>\r\n"
        "Interest Rate: 6%<br>\r\n"
        "# of Periods: 0<br>\r\n"
        "Payment per Period: $0.00<br>\r\n"
        "Payment Period: Monthly<br>\r\n"
        "Compound Period: Monthly<br>\r\n"
        "Balloon Payment: Yes<br>\r\n"
        "Balloon Payment at Period: 1<br>\r\n"
        "<br>\r\n<table>\r\n"
        "<tr><td><b>Period</b></td><td><b>Date</b></td><td><b>Payment</b></td>"
        "<td><b>Interest</b></td><td><b>Principal</b></td><td><b>Balance</b></td></tr>\r\n"
        "<tr><td>1</td><td>01/01/2003</td><td>$5,025.00</td><td>$25.00</td>"
        "<td>$5,000.00</td><td>$0.00</td></tr>\r\n"
        "<tr>\r\n<td></td><td>Annual Totals:</td><td>$5,025.00</td><td>$25.00</td>"
        "<td>$5,000.00</td></tr>\r\n"
        "<tr>\r\n<td></td><td>Running Totals:</td><td>$5,025.00</td><td>$25.00</td>"
        "<td>$5,000.00</td></tr>\r\n"
        "</table>\r\n</body>\r\n</html>\r\n",
        WriteLoanHtml(doc, 2003));
}

// The page lists the same texts, row for row, as the text export's table.
std::vector<std::vector<std::string>> TableCells(const std::string& table, bool html) {
    std::vector<std::vector<std::string>> rows;
    for (std::string line : Lines(table)) {
        if (html) {
            if (line == "</table>") break;
            for (const char* tag : {"<tr>", "</tr>", "<b>", "</b>", "</td>"}) {
                for (std::size_t at; (at = line.find(tag)) != std::string::npos;) {
                    line.erase(at, std::string(tag).size());
                }
            }
        }
        const std::string separator = html ? "<td>" : "\t";
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (std::size_t end; start <= line.size(); start = end + separator.size()) {
            end = line.find(separator, start);
            if (end == std::string::npos) end = line.size();
            if (end > start) cells.push_back(line.substr(start, end - start));
        }
        if (!cells.empty()) rows.push_back(cells);
    }
    return rows;
}

TEST(WriteLoanHtml, ListsTheTextsOfTheTextExport) {
    const CTamsicDoc doc = Loan({.periods = 30});
    for (const int year : {kAllYears, 2004}) {
        const std::string html = WriteLoanHtml(doc, year);
        const auto expected = TableCells(WriteTableText(doc, year), false);
        EXPECT_EQ(expected, TableCells(html.substr(html.find("<br>\r\n<table>\r\n") + 15), true));
        EXPECT_EQ(year == kAllYears ? 32u : 15u, expected.size());
    }
}

TEST(WriteScheduleCsv, PlainAmountsIsoDatesNoTotals) {
    EXPECT_EQ(
        "Period,Date,Payment,Interest,Principal,Balance\r\n"
        "1,2003-01-01,408.03,12.00,396.03,803.97\r\n"
        "2,2003-02-01,408.03,8.04,399.99,403.98\r\n"
        "3,2003-03-01,408.02,4.04,403.98,0.00\r\n",
        WriteScheduleCsv(Loan({.amount = 1200.0, .periods = 3, .rate = 12.0}), kAllYears));

    const auto lines = Lines(WriteScheduleCsv(Loan({}), 2004));
    ASSERT_EQ(13u, lines.size());
    EXPECT_EQ("13,2004-01-01,599.55,", lines[1].substr(0, 21));

    // A whole-cent negative amount stays as typed; 0 % of it is -0.
    Terms negative{.amount = -1234.51, .periods = 1, .rate = 0};
    negative.first = OleDateTime(0.0, OleDateTime::Status::Null);
    EXPECT_EQ(
        "Period,Date,Payment,Interest,Principal,Balance\r\n"
        "1,,-1234.51,-0.00,-1234.51,0.00\r\n",
        WriteScheduleCsv(Loan(negative), kAllYears));
}

// A long export reaches its sink in chunks, and stops composing once the sink fails.
TEST(WriteLoan, StreamsInChunksAndStopsAtAFailingSink) {
    const CTamsicDoc doc = Loan({.periods = 20000, .payment = 0});
    CountingSink all;
    ASSERT_TRUE(WriteLoan(doc, kAllYears, LoanFormat::Text, all));
    EXPECT_EQ(WriteLoanText(doc, kAllYears).size(), all.bytes);
    EXPECT_GT(all.writes, 10u);
    EXPECT_LT(all.bytes / all.writes, 200u * 1024);

    CountingSink failing;
    failing.failAfter = 2;
    EXPECT_FALSE(WriteLoan(doc, kAllYears, LoanFormat::Csv, failing));
    EXPECT_EQ(2u, failing.writes);
}

TEST(LoanSummary, PlacesLinesInTwoColumns) {
    const auto lines = LoanSummary(Loan({.balloon = 12, .extra = 25}));
    ASSERT_EQ(9u, lines.size());
    EXPECT_EQ(0, lines[4].column);
    EXPECT_EQ(4, lines[4].row);
    EXPECT_EQ("Additional Payment Per Period: $25.00", lines[4].text);
    EXPECT_EQ(1, lines[5].column);
    EXPECT_EQ(0, lines[5].row);
    EXPECT_EQ("Payment Period: Monthly", lines[5].text);
    EXPECT_EQ(3, lines[8].row);
    EXPECT_EQ("Balloon Payment at Period: 12", lines[8].text);
}

TEST(LoanSummary, NamesUnknownCodes) {
    const auto lines = LoanSummary(Loan({.payment = 9, .compound = 8}));
    EXPECT_EQ("Payment Period: Unknown", lines[4].text);
    EXPECT_EQ("Compound Period: Continuous", lines[5].text);
}

}  // namespace
}  // namespace brellow
