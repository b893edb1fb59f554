#include "output/ChunkedOutput.h"

#include "tests/support/CountingSink.h"
#include "tests/support/TestLoans.h"

#include "engine/Schedule.h"
#include "output/AmountFormat.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace brellow {
namespace {

using test::Loan;

// A row as its period and balance: a row out of place, lost or composed from another
// row's values shows.
void ComposeRow(std::string& out, const ScheduleRow& row) {
    AppendInt(out, row.period);
    out += ':';
    AppendPlainAmount(out, row.balance);
}

// Lists around the batch size and the point where helpers start, one longer than the
// ring of batches, and one year of a long loan, composed as one thread does row by row.
TEST(ChunkedOutputPassRows, GivesTheBytesAndTotalsOfOneThread) {
    const struct {
        int periods;
        int year;
    } cases[] = {{0, kAllYears},    {1, kAllYears},    {4095, kAllYears}, {4096, kAllYears},
                 {4097, kAllYears}, {40000, kAllYears}, {40000, 2010}};
    for (const auto& c : cases) {
        for (const std::string_view separator : {"", ",\n"}) {
            const CTamsicDoc doc = Loan({.periods = c.periods, .payment = 0});
            ScheduleGenerator expected(doc, c.year);
            std::string text = "head";
            ScheduleRow row;
            for (bool first = true; expected.Next(row); first = false) {
                if (!first) text += separator;
                ComposeRow(text, row);
            }
            StringSink sink;
            ChunkedOutput out(sink);
            out.Buffer() = "head";
            ScheduleGenerator rows(doc, c.year);
            ASSERT_TRUE(out.PassRows(rows, ComposeRow, separator));
            ASSERT_TRUE(out.Flush());
            EXPECT_PRED_FORMAT2(test::SameText, text, sink.Text()) << c.periods << " " << c.year;
            EXPECT_EQ(expected.Totals().running.interest, rows.Totals().running.interest);
            EXPECT_EQ(expected.Totals().annual.payment, rows.Totals().annual.payment);
        }
    }
}

TEST(ChunkedOutputPassRows, StopsAtAFailingSinkAndPassesOnWhatComposingThrows) {
    const CTamsicDoc doc = Loan({.periods = 40000, .payment = 0});
    test::CountingSink failing;
    failing.failAfter = 3;
    ChunkedOutput out(failing);
    ScheduleGenerator rows(doc, kAllYears);
    EXPECT_FALSE(out.PassRows(rows, ComposeRow));
    EXPECT_FALSE(out.Flush());
    EXPECT_EQ(3u, failing.writes);

    StringSink sink;
    ChunkedOutput thrown(sink);
    ScheduleGenerator more(doc, kAllYears);
    const auto compose = [](std::string& text, const ScheduleRow& row) {
        if (row.period == 30000) throw std::runtime_error("no room");
        ComposeRow(text, row);
    };
    EXPECT_THROW(thrown.PassRows(more, compose, "\n"), std::runtime_error);
    EXPECT_EQ(std::string::npos, sink.Text().find("\n30001:"));
}

}  // namespace
}  // namespace brellow
