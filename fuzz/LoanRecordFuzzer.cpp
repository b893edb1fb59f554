// Feeds arbitrary bytes to the .brw reader. Every record it accepts must compute a
// schedule the program can show to the cent: each row amount and running total finite
// and below 2^53 cents in magnitude, every row dated in the calendar when the first
// payment date is valid, and no writer output that reads "nan" or "inf". Anything else
// aborts with the reason, which libFuzzer keeps as a finding.
//
// The work per input is capped: the rows are always walked (they are cheap), but the
// writers, at some 400 bytes a row, only run on listings of a few thousand rows.

#include "engine/CTamsicDoc.h"
#include "engine/LoanFile.h"
#include "engine/OleDateTime.h"
#include "engine/Schedule.h"
#include "output/LoanWriters.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

namespace {

using namespace brellow;

// 2^53 cents: beyond it neighbouring cents share a double. Written out rather than taken
// from the engine, so that a wrong limit there is found too.
constexpr double kCentLimit = 90071992547409.92;
constexpr int kMaxWrittenRows = 4000;

[[noreturn]] void Finding(const char* what, int period, double value) {
    std::fprintf(stderr, "FINDING: an accepted file gives %s %.17g at row %d\n", what, value,
                 period);
    std::abort();
}

void CheckFigure(const char* what, int period, double value) {
    if (!(std::fabs(value) < kCentLimit)) Finding(what, period, value);
}

void WalkRows(const CTamsicDoc& doc) {
    const bool dated = doc.GetFirstPaymentDate().GetStatus() == OleDateTime::Status::Valid;
    ScheduleGenerator schedule(doc, kAllYears);
    ScheduleRow row;
    while (schedule.Next(row)) {
        if (dated && !row.date.HasCalendarDate()) {
            Finding("a date outside the calendar from a first payment on day", row.period,
                    doc.GetFirstPaymentDate().Value());
        }
        const AmountTotals& running = schedule.Totals().running;
        CheckFigure("a payment of", row.period, row.payment);
        CheckFigure("an interest of", row.period, row.interest);
        CheckFigure("a principal of", row.period, row.principal);
        CheckFigure("a balance of", row.period, row.balance);
        CheckFigure("a running payment total of", row.period, running.payment);
        CheckFigure("a running interest total of", row.period, running.interest);
        CheckFigure("a running principal total of", row.period, running.principal);
    }
}

void CheckOutput(const char* writer, int year, const std::string& out) {
    for (const std::string_view word : {"nan", "inf"}) {
        const std::size_t at = out.find(word);
        if (at == std::string::npos) continue;
        const std::size_t from = out.rfind('\n', at);
        const std::size_t start = from == std::string::npos ? 0 : from + 1;
        std::fprintf(stderr, "FINDING: the %s writer (year %d) writes \"%.*s\" in: %.*s\n", writer,
                     year, static_cast<int>(word.size()), word.data(),
                     static_cast<int>(std::min<std::size_t>(out.size() - start, 200)),
                     out.data() + start);
        std::abort();
    }
}

void RunWriters(const CTamsicDoc& doc, int year) {
    CheckOutput("text", year, WriteLoanText(doc, year));
    CheckOutput("HTML", year, WriteLoanHtml(doc, year));
    CheckOutput("table", year, WriteTableText(doc, year));
    CheckOutput("CSV", year, WriteScheduleCsv(doc, year));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CTamsicDoc doc(OleDateTime::FromDate(2003, 1, 1));
    if (!LoadLoanRecord(std::span(data, size), doc).empty()) return 0;
    // As the view does after opening a file: the stored payment is not trusted.
    doc.ComputePayment();
    const int length = doc.GetScheduleLength();
    WalkRows(doc);
    if (length <= kMaxWrittenRows) RunWriters(doc, kAllYears);
    // The last year's listing walks every row before it: the end of the schedule and of
    // the calendar, without writing the whole schedule.
    const int lastYear = ScheduleYears(doc).last;
    if (CountRowsInYear(doc, lastYear) <= kMaxWrittenRows) RunWriters(doc, lastYear);
    return 0;
}
