#pragma once

// The schedule view of one loan document: the summary of the terms, a strip of year
// tabs ("All" and one per calendar year, none for annually paid loans) and the
// amortization table, all at fixed pixel positions in a scrolled document.
//
// Nothing of the table is cached: every paint regenerates the rows from the terms,
// starting at the document's nearest schedule checkpoint, and formats only the rows that
// meet the exposed rectangle. The scroll height follows
// the table: for the "All" tab 20 × (rows + 2) + 2 pixels below the table top, for one
// year 20 × (rows in that year + 3) + 2. With 30 years of monthly payments the tab
// strip reserves 25 × (30 / 11 + 1) = 75 pixels, so the table starts at 195.
//
// The keyboard reaches the rows through a current cell: the arrow keys, Page Up and Down,
// Home and End move it over the listed rows and the totals lines, and it is marked only
// while the view has the focus, so the picture without the focus is the plain table.

#include "view/HelpRequest.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>

class LoanDocument;
class QPainter;
class YearTabStrip;
struct DisplaySettings;

namespace brellow {
struct SummaryLine;
}

class CTamsicView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // `settings` belongs to the main frame and outlives every view; `help` answers the
    // parameters dialog's "Help".
    CTamsicView(LoanDocument& document, const DisplaySettings& settings, HelpRequest help = {},
                QWidget* parent = nullptr);
    ~CTamsicView() override;

    LoanDocument& GetDocument() const noexcept { return m_document; }

    // Computes the payment from the terms, then lays the view out.
    void OnInitialUpdate();
    // Table rectangle, tab strip and scroll size from the schedule and the display
    // settings. The selected year stays selected while the schedule still has it.
    void UpdateLayout();

    // Paints the part of the document inside `exposed` (document coordinates) with a
    // painter whose origin is the document's top left.
    void OnDraw(QPainter& painter, const QRect& exposed);
    void DrawGrid(QPainter& painter, const QRect& table, const QRect& exposed);
    void DrawTable(QPainter& painter, const QRect& table, int year, const QRect& exposed);
    void DrawCell(QPainter& painter, int left, int y, int column, const QString& text);
    // Where a summary line, the table and one of its cells stand in document
    // coordinates. Line 0 of the table holds the column heads, line 1 the first listed
    // row; column 0 is the period.
    QRect SummaryLineRect(const brellow::SummaryLine& line) const;
    QRect TableRect() const;
    QRect CellRect(int line, int column) const;

    // Rows of the table below the column heads: the listed rows, then the totals lines;
    // 0 while the table is hidden.
    int TableRowCount() const noexcept { return m_tableRows; }
    // The current cell, by table row and column (0 the period); emits currentCellChanged.
    int CurrentRow() const noexcept { return m_currentRow; }
    int CurrentColumn() const noexcept { return m_currentColumn; }
    // Moves the current cell (clamped to the table) and scrolls it into sight.
    void SetCurrentCell(int row, int column);

    void OnChangeLoanParameters();
    void OnEditUndo();
    void OnEditRedo();

    bool IsTableShown() const noexcept;
    // The year the table lists: brellow::kAllYears or a calendar year.
    int GetSelectedYear() const;
    // Selects the tab of `index` as a click would; ignored without a tab strip.
    void SelectTab(int index);
    YearTabStrip* YearTabs() const noexcept { return m_tabYears; }
    QSize ScrollSize() const noexcept { return {m_nTableRight, m_nTableBottom}; }
    // As wide as the table and as tall as the whole document, with room for the
    // vertical scroll bar that a shorter window needs.
    QSize sizeHint() const override;
    QPoint ScrollPosition() const;
    void ScrollTo(const QPoint& position);
    bool IsParametersTimerActive() const noexcept { return m_timer.isActive(); }
    // The tick of the new-document timer: opens the parameters dialog once for a
    // document that has not shown it yet.
    void OnTimer();

    int m_nRowHeight = 20;
    int m_nTableTop = 120;
    int m_nTableBottom = 120;
    int m_nTableLeft = 30;
    int m_nTableRight = 682;
    int m_nTabTop = 120;
    int m_nColumnWidth = 130;
    int m_nTabRowHeight = 25;
    int m_nTabsPerRow = 11;
    YearTabStrip* m_tabYears = nullptr;
    int m_nPrintWidth = 1;
    int m_nPrintHeight = 1;
    int m_nPrintPage = 0;

signals:
    // The summary, the year tabs or the listed rows may read differently now.
    void listingChanged();
    // The current cell moved, or the view took the focus with it.
    void currentCellChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the layout depends on besides the selected tab.
    struct LayoutKey {
        bool showTable = false;
        bool hasTabs = false;
        int length = 0;
        int firstYear = 0;
        int lastYear = 0;
        friend bool operator==(const LayoutKey&, const LayoutKey&) = default;
    };

    LayoutKey CurrentLayoutKey() const;
    void OnTermsChanged();
    void OnTabSelChange(int index);
    void RebuildYearTabs(int firstYear, int years);
    void DestroyYearTabs();
    void UpdateTableBottom();
    void SetScrollSizes();
    void PlaceYearTabs();
    // A cell's box on the line at `y`, with DrawCell's columns (-1 the period).
    QRect CellBox(int left, int y, int column) const;
    // Where the current cell's mark stands; a totals label spans the first two columns.
    QRect CurrentCellRect() const;
    bool MoveCurrentCell(const QKeyEvent& event);
    void ClampCurrentCell();

    LoanDocument& m_document;
    const DisplaySettings& m_settings;
    HelpRequest m_help;
    LayoutKey m_layoutKey;
    // The year chosen by the person, kept across layouts while it exists.
    int m_selectedYear;
    int m_tableRows = 0;
    int m_listedRows = 0;
    int m_currentRow = 0;
    int m_currentColumn = 0;
    QBasicTimer m_timer;
};
