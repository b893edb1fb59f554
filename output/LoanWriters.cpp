#include "output/LoanWriters.h"

#include "engine/OleDateTime.h"
#include "engine/Schedule.h"
#include "output/AmountFormat.h"
#include "output/LoanSummary.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace brellow {

namespace {

// The pieces that turn schedule rows into one of the table layouts. Text and HTML
// differ only in these strings; CSV also writes its values differently and has no
// totals.
struct TableMarkup {
    std::string_view head;        // the whole heading line
    std::string_view rowOpen;     // before the period
    std::string_view cellSep;     // between two values of a row or a totals line
    std::string_view rowClose;    // after the balance, or after a totals line's last sum
    std::string_view totalsOpen;  // before a totals label
    std::string_view totalsLabelSep;
    bool totals = true;
    bool csvValues = false;  // ISO dates and plain "%.2f" amounts
};

constexpr TableMarkup kTextMarkup{
    "Period\tDate\tPayment\tInterest\tPrincipal\tBalance\r\n", "", "\t", "\r\n", "", "\t\t"};

constexpr TableMarkup kHtmlMarkup{
    "<tr><td><b>Period</b></td><td><b>Date</b></td><td><b>Payment</b></td>"
    "<td><b>Interest</b></td><td><b>Principal</b></td><td><b>Balance</b></td></tr>\r\n",
    "<tr><td>",
    "</td><td>",
    "</td></tr>\r\n",
    "<tr>\r\n<td></td><td>",
    "</td><td>"};

constexpr TableMarkup kCsvMarkup{
    "Period,Date,Payment,Interest,Principal,Balance\r\n", "", ",", "\r\n", "", "", false, true};

void AppendValue(std::string& out, double value, const TableMarkup& markup) {
    if (markup.csvValues) {
        AppendPlainAmount(out, value);
    } else {
        AppendAmount(out, value);
    }
}

void AppendRow(std::string& out, const ScheduleRow& row, const TableMarkup& markup) {
    out += markup.rowOpen;
    AppendInt(out, row.period);
    out += markup.cellSep;
    if (markup.csvValues) {
        out += FormatIsoDate(row.date);
    } else {
        AppendDate(out, row.date);
    }
    for (const double value : {row.payment, row.interest, row.principal, row.balance}) {
        out += markup.cellSep;
        AppendValue(out, value, markup);
    }
    out += markup.rowClose;
}

void AppendTotals(std::string& out, std::string_view label, const AmountTotals& totals,
                  const TableMarkup& markup) {
    out += markup.totalsOpen;
    out += label;
    out += markup.totalsLabelSep;
    AppendValue(out, totals.payment, markup);
    out += markup.cellSep;
    AppendValue(out, totals.interest, markup);
    out += markup.cellSep;
    AppendValue(out, totals.principal, markup);
    out += markup.rowClose;
}

// Bytes of one listed row, estimated from the widest amount a sound loan shows, so
// that a long schedule is composed with one allocation (or very few).
std::size_t EstimatedRowBytes(const CTamsicDoc& doc, const TableMarkup& markup) {
    const double widest = std::max({std::fabs(doc.GetLoanAmount()), std::fabs(doc.GetPayment()),
                                    std::fabs(doc.GetAdditionalPayment())});
    const std::size_t amount = (std::isfinite(widest) ? FormatAmount(widest).size() : 4) + 1;
    const std::size_t separators =
        markup.rowOpen.size() + 5 * markup.cellSep.size() + markup.rowClose.size();
    return 7 + 10 + 4 * amount + separators;
}

std::size_t EstimatedTableBytes(const CTamsicDoc& doc, const ScheduleGenerator& gen,
                                const TableMarkup& markup) {
    const auto rows = static_cast<std::size_t>(gen.ListedRows());
    return markup.head.size() + rows * EstimatedRowBytes(doc, markup) + 256;
}

void AppendTable(std::string& out, ScheduleGenerator& gen, const TableMarkup& markup) {
    out += markup.head;
    ScheduleRow row;
    while (gen.Next(row)) AppendRow(out, row, markup);
    if (!markup.totals) return;
    if (gen.HasAnnualTotals()) AppendTotals(out, "Annual Totals:", gen.Totals().annual, markup);
    AppendTotals(out, "Running Totals:", gen.Totals().running, markup);
}

void AppendSummary(std::string& out, const CTamsicDoc& doc, std::string_view lineEnd) {
    // Left column first, then the right one: LoanSummary lists them in that order.
    for (const SummaryLine& line : LoanSummary(doc)) {
        out += line.text;
        out += lineEnd;
    }
}

std::string WriteTableOnly(const CTamsicDoc& doc, int year, const TableMarkup& markup) {
    ScheduleGenerator gen(doc, year);
    std::string out;
    out.reserve(EstimatedTableBytes(doc, gen, markup));
    AppendTable(out, gen, markup);
    return out;
}

}  // namespace

std::string WriteLoanText(const CTamsicDoc& doc, int year) {
    ScheduleGenerator gen(doc, year);
    std::string out;
    out.reserve(512 + EstimatedTableBytes(doc, gen, kTextMarkup));
    AppendSummary(out, doc, "\r\n");
    out += "\r\n";
    AppendTable(out, gen, kTextMarkup);
    return out;
}

std::string WriteLoanHtml(const CTamsicDoc& doc, int year) {
    ScheduleGenerator gen(doc, year);
    std::string out;
    out.reserve(1024 + EstimatedTableBytes(doc, gen, kHtmlMarkup));
    out += "<html>\r\n<body>\r\n<H1>Loan Document</H1>\r\n";
    AppendSummary(out, doc, "<br>\r\n");
    out += "<br>\r\n<table>\r\n";
    AppendTable(out, gen, kHtmlMarkup);
    out += "</table>\r\n</body>\r\n</html>\r\n";
    return out;
}

std::string WriteTableText(const CTamsicDoc& doc, int year) {
    return WriteTableOnly(doc, year, kTextMarkup);
}

std::string WriteScheduleCsv(const CTamsicDoc& doc, int year) {
    return WriteTableOnly(doc, year, kCsvMarkup);
}

}  // namespace brellow
