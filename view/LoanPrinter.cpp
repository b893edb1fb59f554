#include "view/LoanPrinter.h"

#include "engine/Schedule.h"
#include "output/LoanSummary.h"
#include "output/PresenterTexts.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"
#include "view/ScheduleTexts.h"

#include <QGlyphRun>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>

namespace {

// Distances in dots of a 600 dpi printer.
constexpr int kDesignDpi = 600;
constexpr int kSummaryX = 180;
constexpr int kSummaryTop = 10;
constexpr int kSummaryStep = 90;
constexpr int kHeaderDrop = 12;
constexpr int kTextDrop = 10;
constexpr int kRuleShortening = 9;
constexpr int kContinuationTop = 20;
constexpr int kTextHeight = 70;
// The summary's right column, in screen pixels from its left one.
constexpr int kSummaryColumnGap = 300;
// Dots per screen pixel down the page at 600 dpi.
constexpr int kDotsPerScreenPixel = 6;

const QColor kLineColor(1, 1, 1);

int Scale(long long value, long long numerator, long long denominator) {
    return static_cast<int>(value * numerator / denominator);
}

// The glyphs of the characters that numbers and dates are written with, shaped once for a
// font, so that a cell is laid out by adding advances instead of shaping its text, and the
// cells of a page go to the device as one run of glyphs at whole device pixels (a PDF
// states each glyph's place, and whole numbers state it in fewer bytes). A text with any
// other character, or wider than its cell, is left to the painter's own text path, which
// clips it to the cell.
class CellGlyphs {
public:
    explicit CellGlyphs(const QFont& font) : m_font(QRawFont::fromFont(font)) {
        const QString set = QStringLiteral("0123456789$,.-/");
        const QList<quint32> indexes = m_font.glyphIndexesForString(set);
        if (indexes.size() != set.size()) return;
        // The advances text layout uses on a printer, not ones rounded for a screen.
        const QList<QPointF> advances =
            m_font.advancesForGlyphIndexes(indexes, QRawFont::UseDesignMetrics);
        for (qsizetype i = 0; i < set.size(); ++i) {
            if (indexes[i] != 0) m_glyphs[set[i].unicode()] = {indexes[i], advances[i].x()};
        }
        m_ascent = m_font.ascent();
    }

    // Adds `text` right-aligned in the cell from `left` to `right` with its top at `top`;
    // false, adding nothing, when it is not made of the shaped characters or does not fit.
    bool Add(const QString& text, int left, int right, int top) {
        qreal width = 0;
        for (const QChar c : text) {
            if (c.unicode() >= m_glyphs.size() || m_glyphs[c.unicode()].index == 0) return false;
            width += m_glyphs[c.unicode()].advance;
        }
        if (width > right - left) return false;
        const qreal baseline = std::round(top + m_ascent);
        qreal x = right - width;
        for (const QChar c : text) {
            const Glyph& glyph = m_glyphs[c.unicode()];
            m_indexes.append(glyph.index);
            m_positions.append(QPointF(std::round(x), baseline));
            x += glyph.advance;
        }
        return true;
    }

    // Draws the glyphs added since the last call.
    void Draw(QPainter& painter) {
        if (m_indexes.isEmpty()) return;
        {
            QGlyphRun run;
            run.setRawFont(m_font);
            run.setGlyphIndexes(m_indexes);
            run.setPositions(m_positions);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
        m_indexes.clear();
        m_positions.clear();
    }

private:
    struct Glyph {
        quint32 index = 0;  // 0: not shaped
        qreal advance = 0;
    };

    QRawFont m_font;
    std::array<Glyph, 128> m_glyphs{};
    qreal m_ascent = 0;
    QList<quint32> m_indexes;
    QList<QPointF> m_positions;
};

}  // namespace

PrintArea PrintArea::Of(const QPaintDevice& device) {
    return {device.width(), device.height(), device.logicalDpiX(), device.logicalDpiY()};
}

// Where the parts of the printout stand on pages of one printable area. The table's rows
// fill the page it starts on from below the header, then every further page from the same
// top, so the page of any row, and the row a page starts with, follow from its number.
class LoanPrinter::Layout {
public:
    Layout(const LoanPrinter& source, const PrintArea& area)
        : m_area(area),
          m_left(AcrossScreen(source.m_tableLeft)),
          m_right(AcrossScreen(source.m_tableRight)),
          // At least a dot each, so that a sliver of paper still holds a row a page.
          m_column(std::max(1, AcrossScreen(source.m_columnWidth))),
          m_line(std::max(1, DownScreen(source.m_rowHeight))),
          m_pageTop(Down(kContinuationTop)) {
        if (!source.m_showTable) return;
        m_listedRows = brellow::ScheduleGenerator(source.m_document.doc(), source.m_year,
                                                  &source.m_document.checkpoints())
                           .ListedRows();
        // A header that would stand without its first row below it starts page 2.
        m_tableTop = DownScreen(source.m_tableTop) + Down(kHeaderDrop);
        if (!Fits(m_tableTop, 2)) {
            m_tablePage = 2;
            m_tableTop = m_pageTop;
        }
        m_tablePageRows = RowsFrom(m_tableTop + m_line);
        m_pageRows = RowsFrom(m_pageTop);

        m_endPage = m_tablePage;
        m_endTop = m_tableTop + m_line;
        if (m_listedRows > 0) {
            const int last = m_listedRows - 1;
            m_endPage = PageOfRow(last);
            m_endTop = RowTop(last) + m_line;
            if (EndsPage(last)) {
                ++m_endPage;
                m_endTop = m_pageTop;
            }
        }
        // The two totals bands stay together.
        m_totalsPage = m_endPage;
        m_totalsTop = m_endTop;
        if (!Fits(m_endTop, 2)) {
            ++m_totalsPage;
            m_totalsTop = m_pageTop;
        }
    }

    int AcrossScreen(int x) const { return Scale(x, 7LL * m_area.width, 4800); }
    int DownScreen(int y) const { return Scale(y, kDotsPerScreenPixel * m_area.dpiY, kDesignDpi); }
    int Across(int dots) const { return Scale(dots, m_area.dpiX, kDesignDpi); }
    int Down(int dots) const { return Scale(dots, m_area.dpiY, kDesignDpi); }

    int Pages() const noexcept { return m_totalsPage; }
    int ListedRows() const noexcept { return m_listedRows; }
    int TablePage() const noexcept { return m_tablePage; }
    int TableTop() const noexcept { return m_tableTop; }
    // Where the rows end: below the last one, or at the top of the page after it.
    int EndPage() const noexcept { return m_endPage; }
    int EndTop() const noexcept { return m_endTop; }
    int TotalsPage() const noexcept { return m_totalsPage; }
    int TotalsTop() const noexcept { return m_totalsTop; }

    // The first listed row (from 0) on `page`; ListedRows() on pages after the last row.
    int FirstRow(int page) const {
        if (page <= m_tablePage) return 0;
        const long long first =
            m_tablePageRows + static_cast<long long>(page - m_tablePage - 1) * m_pageRows;
        return static_cast<int>(std::min<long long>(first, m_listedRows));
    }
    int PageOfRow(int row) const {
        if (row < m_tablePageRows) return m_tablePage;
        return m_tablePage + 1 + (row - m_tablePageRows) / m_pageRows;
    }
    // The top of the row's rule.
    int RowTop(int row) const {
        if (row < m_tablePageRows) return m_tableTop + m_line * (1 + row);
        return m_pageTop + m_line * ((row - m_tablePageRows) % m_pageRows);
    }
    // Whether the row is the last on its page, the one after it going to the next.
    bool EndsPage(int row) const {
        if (row < m_tablePageRows) return row == m_tablePageRows - 1;
        return (row - m_tablePageRows) % m_pageRows == m_pageRows - 1;
    }

    int Width() const noexcept { return m_area.width; }
    int Left() const noexcept { return m_left; }
    int Right() const noexcept { return m_right; }
    int Column() const noexcept { return m_column; }
    int Line() const noexcept { return m_line; }

private:
    // Whether `lines` rows from `y` end above the bottom of the page.
    bool Fits(int y, int lines) const { return y + lines * m_line <= m_area.height; }
    // The rows a page takes from `y` on: a row goes on it while the row after it would
    // still fit, and the first one always does.
    int RowsFrom(int y) const { return std::max(1, (m_area.height - y) / m_line); }

    const PrintArea m_area;
    const int m_left;
    const int m_right;
    const int m_column;
    const int m_line;
    const int m_pageTop;  // of the table on continuation pages
    int m_listedRows = 0;
    int m_tablePage = 1;
    int m_tableTop = 0;  // the header's rule
    int m_tablePageRows = 1;
    int m_pageRows = 1;
    int m_endPage = 1;
    int m_endTop = 0;
    int m_totalsPage = 1;
    int m_totalsTop = 0;
};

// Draws pages of the printout with one painter. A page that follows the one drawn before
// continues its walk of the schedule; any other starts from the nearest checkpoint.
class LoanPrinter::Sheet {
public:
    Sheet(const LoanPrinter& source, QPainter& painter, const PrintArea& area)
        : m_source(source),
          m_painter(painter),
          m_layout(source, area),
          m_ruleEnd(m_layout.Right() - m_layout.Across(kRuleShortening)) {
        m_painter.save();
        QFont font = m_painter.font();
        font.setPixelSize(std::max(1, kTextHeight * area.dpiY / kDesignDpi));
        m_painter.setFont(font);
        m_painter.setPen(QPen(kLineColor, std::max(1, area.dpiX / kDesignDpi)));
        m_painter.setBackgroundMode(Qt::TransparentMode);
        m_glyphs.emplace(m_painter.font());
    }
    ~Sheet() { m_painter.restore(); }
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    int Pages() const noexcept { return m_layout.Pages(); }

    void Draw(int page) {
        if (page == 1) DrawSummary();
        if (!m_source.m_showTable) return;
        const Layout& layout = m_layout;
        if (page == layout.TablePage()) {
            DrawRules(layout.TableTop(), 1);
            for (int column = -1; column <= 4; ++column) {
                DrawCell(layout.TableTop(), column,
                         Latin1Text(brellow::kColumnHeads[column + 1]));
            }
        }
        const int first = layout.FirstRow(page);
        const int end = layout.FirstRow(page + 1);
        if (first < end) DrawRows(first, end);
        // Totals that do not fit below the rows leave them closed by a rule.
        if (page == layout.EndPage() && layout.TotalsPage() != page) DrawRule(layout.EndTop());
        if (page == layout.TotalsPage()) DrawTotals(layout.TotalsTop());
        m_glyphs->Draw(m_painter);
    }

private:
    // The generator, about to list row `row`.
    brellow::ScheduleGenerator& WalkFrom(int row) {
        if (!m_walk || m_nextRow != row) {
            const LoanDocument& document = m_source.m_document;
            m_walk.emplace(document.doc(), m_source.m_year, &document.checkpoints());
            m_walk->SkipListed(row);
            m_nextRow = row;
        }
        return *m_walk;
    }

    void DrawRows(int first, int end) {
        brellow::ScheduleGenerator& walk = WalkFrom(first);
        brellow::ScheduleRow row;
        int index = first;
        for (; index < end && walk.Next(row); ++index) {
            const int top = m_layout.RowTop(index);
            DrawRule(top);
            DrawLine(RowTexts(row), top + m_layout.Down(kTextDrop));
        }
        m_nextRow = index;
        if (index == first) return;
        const int bottom = m_layout.RowTop(index - 1) + m_layout.Line();
        // One bar down the page's rows for each column, as the rows' own bars would join.
        DrawBars(m_layout.RowTop(first), bottom);
        if (m_layout.EndsPage(index - 1)) DrawRule(bottom);
    }

    void DrawSummary() {
        const int left = m_layout.Across(kSummaryX);
        const int right = left + m_layout.AcrossScreen(kSummaryColumnGap);
        for (const brellow::SummaryLine& line : brellow::LoanSummary(m_source.m_document.doc())) {
            const QRect box(line.column == 0 ? left : right,
                            m_layout.Down(kSummaryTop + kSummaryStep * line.row),
                            m_layout.Width(), m_layout.Line());
            m_painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                               Latin1Text(line.text));
        }
    }

    void DrawTotals(int top) {
        brellow::ScheduleGenerator& walk = WalkFrom(m_layout.ListedRows());
        brellow::ScheduleRow rest;
        while (walk.Next(rest)) {
        }
        const brellow::ScheduleTotals& totals = walk.Totals();
        int y = top;
        const auto drawTotals = [&](std::string_view label, const brellow::AmountTotals& sums) {
            const ScheduleLineTexts texts = TotalsTexts(label, sums);
            // The label stands right-aligned across the period and date columns.
            m_painter.drawText(QRect(m_layout.Left(), y, m_layout.Column(), m_layout.Line()),
                               Qt::AlignRight | Qt::AlignTop, texts[0]);
            for (int column = 2; column <= 4; ++column) DrawCell(y, column - 1, texts[column]);
        };
        if (walk.HasAnnualTotals()) {
            drawTotals(brellow::kAnnualTotalsLabel, totals.annual);
            y += m_layout.Line();
        }
        drawTotals(brellow::kRunningTotalsLabel, totals.running);
        DrawRules(top, 2);
        DrawRule(top + 2 * m_layout.Line());
    }

    // The rule above each of `bands` rows from `top`, and the column bars beside them.
    void DrawRules(int top, int bands) {
        for (int band = 0; band < bands; ++band) DrawRule(top + band * m_layout.Line());
        DrawBars(top, top + bands * m_layout.Line());
    }

    void DrawBars(int top, int bottom) {
        for (int x = m_layout.Left(); x < m_layout.Right(); x += m_layout.Column()) {
            m_painter.drawLine(x, top, x, bottom);
        }
    }

    void DrawRule(int y) { m_painter.drawLine(m_layout.Left(), y, m_ruleEnd, y); }

    void DrawLine(const ScheduleLineTexts& texts, int y) {
        for (int column = 0; column < static_cast<int>(texts.size()); ++column) {
            DrawCell(y, column - 1, texts[column]);
        }
    }

    // Column -1 is the first third of the first column's width, column 0 the rest of it.
    void DrawCell(int y, int column, const QString& text) {
        const int left = m_layout.Left();
        const int width = m_layout.Column();
        int from = left + width * column;
        int to = from + width;
        if (column == -1) {
            from = left;
            to = left + width / 3;
        } else if (column == 0) {
            from = left + width / 3;
        }
        if (m_glyphs->Add(text, from, to, y)) return;
        m_painter.drawText(QRect(from, y, to - from, m_layout.Line()),
                           Qt::AlignRight | Qt::AlignTop, text);
    }

    const LoanPrinter& m_source;
    QPainter& m_painter;
    const Layout m_layout;
    const int m_ruleEnd;  // rules stop short of the table's right edge
    std::optional<CellGlyphs> m_glyphs;  // for the painter's font, once it is set
    std::optional<brellow::ScheduleGenerator> m_walk;
    int m_nextRow = 0;  // the listed row m_walk gives next
};

LoanPrinter::LoanPrinter(const CTamsicView& view, bool showTable)
    : m_document(view.GetDocument()),
      m_year(view.GetSelectedYear()),
      m_showTable(showTable),
      m_tableTop(view.m_nTableTop),
      m_tableLeft(view.m_nTableLeft),
      m_tableRight(view.m_nTableRight),
      m_columnWidth(view.m_nColumnWidth),
      m_rowHeight(view.m_nRowHeight) {}

int LoanPrinter::CountPages(const PrintArea& area) const {
    return Layout(*this, area).Pages();
}

void LoanPrinter::DrawPage(QPainter& painter, const PrintArea& area, int page) const {
    Sheet(*this, painter, area).Draw(page);
}

bool LoanPrinter::Draw(QPainter& painter, QPagedPaintDevice& device,
                       const QPageRanges& pages) const {
    PrintRun run(*this, painter, device, pages);
    while (run.NextPage() != 0) {
        if (!run.DrawNext()) return false;
    }
    return true;
}

QString LoanPrinter::Title() const {
    return m_document.title();
}

PrintRun::PrintRun(const LoanPrinter& loan, QPainter& painter, QPagedPaintDevice& device,
                   const QPageRanges& pages)
    : m_device(device),
      m_pages(pages),
      m_sheet(std::make_unique<LoanPrinter::Sheet>(loan, painter, PrintArea::Of(device))) {
    const int last = m_sheet->Pages();
    if (m_pages.isEmpty()) {
        m_count = last;
    } else {
        for (const QPageRanges::Range& range : m_pages.toRangeList()) {
            m_count += std::max(0, std::min(range.to, last) - std::max(range.from, 1) + 1);
        }
    }
    m_next = FollowingPage(0);
}

PrintRun::~PrintRun() = default;

int PrintRun::FollowingPage(int page) const {
    for (int next = page + 1; next <= m_sheet->Pages(); ++next) {
        if (m_pages.isEmpty() || m_pages.contains(next)) return next;
    }
    return 0;
}

bool PrintRun::DrawNext() {
    if (m_next == 0) return false;
    if (m_drawn > 0 && !m_device.newPage()) {
        m_next = 0;
        return false;
    }
    m_sheet->Draw(m_next);
    ++m_drawn;
    m_next = FollowingPage(m_next);
    return true;
}
