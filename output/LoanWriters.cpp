#include "output/LoanWriters.h"

#include "engine/OleDateTime.h"
#include "engine/Schedule.h"
#include "output/AmountFormat.h"
#include "output/ChunkedOutput.h"
#include "output/LoanSummary.h"
#include "output/PresenterTexts.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <utility>

namespace brellow {

namespace {

// The pieces that turn schedule rows into one of the table layouts. Text and HTML
// differ only in these strings; CSV also writes its values differently and has no
// totals.
struct TableMarkup {
    std::string_view headOpen;    // before the first column head
    std::string_view headSep;     // between two column heads
    std::string_view headClose;   // after the last column head
    std::string_view rowOpen;     // before the period
    std::string_view cellSep;     // between two values of a row or a totals line
    std::string_view rowClose;    // after the balance, or after a totals line's last sum
    std::string_view totalsOpen;  // before a totals label
    std::string_view totalsLabelSep;
    bool totals = true;
    bool csvValues = false;  // ISO dates and plain "%.2f" amounts
};

constexpr TableMarkup kTextMarkup{.headOpen = "",
                                  .headSep = "\t",
                                  .headClose = "\r\n",
                                  .rowOpen = "",
                                  .cellSep = "\t",
                                  .rowClose = "\r\n",
                                  .totalsOpen = "",
                                  .totalsLabelSep = "\t\t"};

constexpr TableMarkup kHtmlMarkup{.headOpen = "<tr><td><b>",
                                  .headSep = "</b></td><td><b>",
                                  .headClose = "</b></td></tr>\r\n",
                                  .rowOpen = "<tr><td>",
                                  .cellSep = "</td><td>",
                                  .rowClose = "</td></tr>\r\n",
                                  .totalsOpen = "<tr>\r\n<td></td><td>",
                                  .totalsLabelSep = "</td><td>"};

constexpr TableMarkup kCsvMarkup{.headOpen = "",
                                 .headSep = ",",
                                 .headClose = "\r\n",
                                 .rowOpen = "",
                                 .cellSep = ",",
                                 .rowClose = "\r\n",
                                 .totalsOpen = "",
                                 .totalsLabelSep = "",
                                 .totals = false,
                                 .csvValues = true};

void AppendHead(std::string& out, const TableMarkup& markup) {
    out += markup.headOpen;
    for (std::size_t column = 0; column < kColumnHeads.size(); ++column) {
        if (column > 0) out += markup.headSep;
        out += kColumnHeads[column];
    }
    out += markup.headClose;
}

void AppendValue(std::string& out, double value, const TableMarkup& markup) {
    if (markup.csvValues) {
        AppendPlainAmount(out, value);
    } else {
        AppendAmount(out, value);
    }
}

// Room for one piece of a row's markup.
constexpr std::size_t kMarkupChars = 32;
constexpr bool RowMarkupFits(const TableMarkup& markup) {
    return markup.rowOpen.size() <= kMarkupChars && markup.cellSep.size() <= kMarkupChars &&
           markup.rowClose.size() <= kMarkupChars;
}
static_assert(RowMarkupFits(kTextMarkup) && RowMarkupFits(kHtmlMarkup) &&
              RowMarkupFits(kCsvMarkup));

// A piece of a row's markup padded to kMarkupChars, so that it goes into the line as one
// copy of a fixed size (six a row) rather than a call that copies its own length.
struct RowPiece {
    explicit RowPiece(std::string_view piece) : size(piece.size()) {
        std::copy(piece.begin(), piece.end(), text.begin());
    }
    std::array<char, kMarkupChars> text{};
    std::size_t size;
};

char* PutPiece(char* to, const RowPiece& piece) noexcept {
    std::memcpy(to, piece.text.data(), kMarkupChars);
    return to + piece.size;
}

// The row markup of a table, padded once for all its rows.
struct RowPieces {
    explicit RowPieces(const TableMarkup& markup)
        : open(markup.rowOpen), sep(markup.cellSep), close(markup.rowClose) {}
    RowPiece open;
    RowPiece sep;
    RowPiece close;
};

// A row composed in place and appended at once: long exports write hundreds of
// thousands of rows. False, with nothing appended, when an amount is beyond the cent.
bool AppendRowInPlace(std::string& out, const ScheduleRow& row, const TableMarkup& markup,
                      const RowPieces& pieces, RowAmountColumns& columns) {
    // The row opens, has five separators and closes; each piece and amount has its room.
    char line[7 * kMarkupChars + kMaxIntChars + kMaxDateChars + 4 * kMaxExactAmountChars];
    char* to = PutPiece(line, pieces.open);
    to = PutInt(to, row.period);
    to = PutPiece(to, pieces.sep);
    to = markup.csvValues ? PutIsoDate(to, row.date) : PutDate(to, row.date);
    const double values[] = {row.payment, row.interest, row.principal, row.balance};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        to = PutPiece(to, pieces.sep);
        to = columns[i].Put(to, values[i]);
        if (to == nullptr) return false;
    }
    to = PutPiece(to, pieces.close);
    out.append(line, to);
    return true;
}

void AppendRow(std::string& out, const ScheduleRow& row, const TableMarkup& markup,
               const RowPieces& pieces, RowAmountColumns& columns) {
    if (AppendRowInPlace(out, row, markup, pieces, columns)) return;
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

bool WriteTable(ChunkedOutput& out, ScheduleGenerator& gen, const TableMarkup& markup) {
    AppendHead(out.Buffer(), markup);
    const RowPieces pieces(markup);
    RowAmountColumns columns = MakeRowAmountColumns(!markup.csvValues);
    ScheduleRow row;
    while (gen.Next(row)) {
        AppendRow(out.Buffer(), row, markup, pieces, columns);
        if (!out.Pass()) return false;
    }
    if (!markup.totals) return true;
    if (gen.HasAnnualTotals()) {
        AppendTotals(out.Buffer(), kAnnualTotalsLabel, gen.Totals().annual, markup);
    }
    AppendTotals(out.Buffer(), kRunningTotalsLabel, gen.Totals().running, markup);
    return true;
}

void AppendSummary(std::string& out, const CTamsicDoc& doc, std::string_view lineEnd) {
    // Left column first, then the right one: LoanSummary lists them in that order.
    for (const SummaryLine& line : LoanSummary(doc)) {
        out += line.text;
        out += lineEnd;
    }
}

}  // namespace

bool WriteLoan(const CTamsicDoc& doc, int year, LoanFormat format, ByteSink& sink) {
    ChunkedOutput out(sink);
    std::string& text = out.Buffer();
    ScheduleGenerator gen(doc, year);
    switch (format) {
        case LoanFormat::Text:
            AppendSummary(text, doc, "\r\n");
            text += "\r\n";
            if (!WriteTable(out, gen, kTextMarkup)) return false;
            break;
        case LoanFormat::Html:
            text += "<html>\r\n<body>\r\n<H1>Loan Document</H1>\r\n";
            AppendSummary(text, doc, "<br>\r\n");
            text += "<br>\r\n<table>\r\n";
            if (!WriteTable(out, gen, kHtmlMarkup)) return false;
            out.Buffer() += "</table>\r\n</body>\r\n</html>\r\n";
            break;
        case LoanFormat::Table:
            if (!WriteTable(out, gen, kTextMarkup)) return false;
            break;
        case LoanFormat::Csv:
            if (!WriteTable(out, gen, kCsvMarkup)) return false;
            break;
    }
    return out.Flush();
}

std::string WriteLoan(const CTamsicDoc& doc, int year, LoanFormat format) {
    StringSink sink;
    WriteLoan(doc, year, format, sink);
    return std::move(sink.Text());
}

std::string WriteLoanText(const CTamsicDoc& doc, int year) {
    return WriteLoan(doc, year, LoanFormat::Text);
}

std::string WriteLoanHtml(const CTamsicDoc& doc, int year) {
    return WriteLoan(doc, year, LoanFormat::Html);
}

std::string WriteTableText(const CTamsicDoc& doc, int year) {
    return WriteLoan(doc, year, LoanFormat::Table);
}

std::string WriteScheduleCsv(const CTamsicDoc& doc, int year) {
    return WriteLoan(doc, year, LoanFormat::Csv);
}

}  // namespace brellow
