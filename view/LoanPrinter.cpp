#include "view/LoanPrinter.h"

#include "engine/Schedule.h"
#include "output/LoanSummary.h"
#include "output/PresenterTexts.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"
#include "view/ScheduleTexts.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
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

}  // namespace

PrintArea PrintArea::Of(const QPaintDevice& device) {
    return {device.width(), device.height(), device.logicalDpiX(), device.logicalDpiY()};
}

// One run of the layout over the whole printout. Without a painter it only counts pages;
// with one it draws the pages asked for, and only those.
class LoanPrinter::Pass {
public:
    Pass(const LoanPrinter& source, const PrintArea& area, QPainter* painter = nullptr,
         QPagedPaintDevice* device = nullptr, const QPageRanges& pages = {})
        : m_source(source),
          m_area(area),
          m_painter(painter),
          m_device(device),
          m_pages(pages),
          m_left(AcrossScreen(source.m_tableLeft)),
          m_right(AcrossScreen(source.m_tableRight)),
          // At least a dot each, so that a sliver of paper still ends every loop.
          m_column(std::max(1, AcrossScreen(source.m_columnWidth))),
          m_line(std::max(1, DownScreen(source.m_rowHeight))),
          m_ruleEnd(m_right - Across(kRuleShortening)) {}

    // Returns the number of pages; afterwards Failed() says whether a new page was refused.
    int Run() {
        BeginPage();
        DrawSummary();
        if (m_source.m_showTable) DrawTable();
        return m_page;
    }
    bool Failed() const noexcept { return m_failed; }

private:
    int AcrossScreen(int x) const { return Scale(x, 7LL * m_area.width, 4800); }
    int DownScreen(int y) const { return Scale(y, kDotsPerScreenPixel * m_area.dpiY, kDesignDpi); }
    int Across(int dots) const { return Scale(dots, m_area.dpiX, kDesignDpi); }
    int Down(int dots) const { return Scale(dots, m_area.dpiY, kDesignDpi); }

    // Whether `lines` rows from `y` end above the bottom of the page.
    bool Fits(int y, int lines) const { return y + lines * m_line <= m_area.height; }

    bool Visible() const {
        return m_painter && !m_failed && (m_pages.isEmpty() || m_pages.contains(m_page));
    }

    // Moves on to the next page; the device gets a new page only between pages it shows.
    void BeginPage() {
        ++m_page;
        if (!Visible()) return;
        if (m_deviceUsed && !m_device->newPage()) {
            m_failed = true;
            return;
        }
        m_deviceUsed = true;
    }

    void DrawSummary() {
        if (!Visible()) return;
        const int left = Across(kSummaryX);
        const int right = left + AcrossScreen(kSummaryColumnGap);
        for (const brellow::SummaryLine& line : brellow::LoanSummary(m_source.m_document.doc())) {
            const QRect box(line.column == 0 ? left : right,
                            Down(kSummaryTop + kSummaryStep * line.row), m_area.width, m_line);
            m_painter->drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                                Latin1Text(line.text));
        }
    }

    void DrawTable() {
        int y = DownScreen(m_source.m_tableTop) + Down(kHeaderDrop);
        if (!Fits(y, 2)) {
            BeginPage();
            y = Down(kContinuationTop);
        }
        if (Visible()) {
            DrawRules(y, 1);
            for (int column = -1; column <= 4; ++column) {
                DrawCell(y, column, Latin1Text(brellow::kColumnHeads[column + 1]));
            }
        }
        y += m_line;

        const LoanDocument& document = m_source.m_document;
        brellow::ScheduleGenerator generator(document.doc(), m_source.m_year,
                                             &document.checkpoints());
        brellow::ScheduleRow row;
        while (generator.Next(row)) {
            if (Visible()) {
                DrawRules(y, 1);
                DrawLine(RowTexts(row), y + Down(kTextDrop));
            }
            const int next = y + m_line;
            y = Fits(next, 1) ? next : EndPageBelow(next);
        }
        if (!Fits(y, 2)) y = EndPageBelow(y);
        DrawTotals(generator, y);
    }

    // Closes the table with a rule at `y` and goes on to the top of the next page.
    int EndPageBelow(int y) {
        if (Visible()) DrawRule(y);
        BeginPage();
        return Down(kContinuationTop);
    }

    void DrawTotals(const brellow::ScheduleGenerator& generator, int top) {
        if (!Visible()) return;
        int y = top;
        const auto drawTotals = [&](std::string_view label, const brellow::AmountTotals& sums) {
            const ScheduleLineTexts texts = TotalsTexts(label, sums);
            // The label stands right-aligned across the period and date columns.
            m_painter->drawText(QRect(m_left, y, m_column, m_line), Qt::AlignRight | Qt::AlignTop,
                                texts[0]);
            for (int column = 2; column <= 4; ++column) DrawCell(y, column - 1, texts[column]);
        };
        if (generator.HasAnnualTotals()) {
            drawTotals(brellow::kAnnualTotalsLabel, generator.Totals().annual);
            y += m_line;
        }
        drawTotals(brellow::kRunningTotalsLabel, generator.Totals().running);
        DrawRules(top, 2);
        DrawRule(top + 2 * m_line);
    }

    // The rule above each of `bands` rows from `top`, and the column bars beside them.
    void DrawRules(int top, int bands) {
        for (int band = 0; band < bands; ++band) {
            const int y = top + band * m_line;
            DrawRule(y);
            for (int x = m_left; x < m_right; x += m_column) {
                m_painter->drawLine(x, y, x, y + m_line);
            }
        }
    }

    void DrawRule(int y) { m_painter->drawLine(m_left, y, m_ruleEnd, y); }

    void DrawLine(const ScheduleLineTexts& texts, int y) {
        for (int column = 0; column < static_cast<int>(texts.size()); ++column) {
            DrawCell(y, column - 1, texts[column]);
        }
    }

    // Column -1 is the first third of the first column's width, column 0 the rest of it.
    void DrawCell(int y, int column, const QString& text) {
        int from = m_left + m_column * column;
        int to = from + m_column;
        if (column == -1) {
            from = m_left;
            to = m_left + m_column / 3;
        } else if (column == 0) {
            from = m_left + m_column / 3;
        }
        m_painter->drawText(QRect(from, y, to - from, m_line), Qt::AlignRight | Qt::AlignTop, text);
    }

    const LoanPrinter& m_source;
    const PrintArea m_area;
    QPainter* const m_painter;
    QPagedPaintDevice* const m_device;
    const QPageRanges m_pages;
    const int m_left;
    const int m_right;
    const int m_column;
    const int m_line;
    const int m_ruleEnd;  // rules stop short of the table's right edge
    int m_page = 0;
    bool m_deviceUsed = false;
    bool m_failed = false;
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
    return Pass(*this, area).Run();
}

bool LoanPrinter::Draw(QPainter& painter, QPagedPaintDevice& device,
                       const QPageRanges& pages) const {
    const PrintArea area = PrintArea::Of(device);
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(std::max(1, kTextHeight * area.dpiY / kDesignDpi));
    painter.setFont(font);
    painter.setPen(QPen(kLineColor, std::max(1, area.dpiX / kDesignDpi)));
    painter.setBackgroundMode(Qt::TransparentMode);
    Pass pass(*this, area, &painter, &device, pages);
    pass.Run();
    painter.restore();
    return !pass.Failed();
}

QString LoanPrinter::Title() const {
    return m_document.title();
}
