#pragma once

// The printout of a loan: the summary of its terms on the first page and, when the table is
// shown, the schedule table of the year the view lists (or of every year) below it, continued
// on as many pages as it needs. It is the screen's layout scaled to the paper.
//
// Distances are given for a printer of 600 dots per inch and scaled to the real resolution
// and printable area. Across the page, a screen x becomes x × printable width × 7 / 4800 dots,
// so the table always spans the paper: on a printable width of 4800 the screen's 30 to 682
// become 210 to 4774 and a column of 130 becomes 910. Down the page a screen pixel is 6 dots
// at 600 dpi: a row is 120 high, 240 at 1200 dpi. The other distances are fixed in 1/600 inch:
// the summary at x = 180, one line every 90 from y = 10, the table's header 12 below its top,
// a row's text 10 below its rule, continuation pages starting at 20. Text is 70 dots high
// per 600 dpi, so it keeps its proportions on every printer.
//
// A row goes on a page when the row after it would still fit above the bottom; otherwise the
// page ends below it. The totals take two rows (the annual and the running totals, or the
// running totals and an empty band) and go to a new page when they do not fit; a table whose
// header and first row would not fit below the summary (a screen table top far down, below
// thousands of year tabs) starts at the top of page 2. Continuation pages carry neither the
// summary nor a repeated header. So no page is ever blank, and every continuation page holds
// the same number of rows: the page count, and the rows of any page, follow from arithmetic,
// and a page is drawn by walking only its own rows. 360 monthly rows on A4 at 600 dpi with
// 10 mm margins take 7 pages.

#include <QPageRanges>

#include <memory>

class CTamsicView;
class LoanDocument;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QString;

// The printable area of a page in device pixels, and the device's resolution.
struct PrintArea {
    int width = 1;
    int height = 1;
    int dpiX = 600;
    int dpiY = 600;

    // The area a painter on `device` draws in, its origin at the printable top left.
    static PrintArea Of(const QPaintDevice& device);
};

class LoanPrinter {
public:
    // The loan as `view` shows it now: its document, the year of its selected tab and its
    // screen layout; the table only when `showTable`. The document must outlive the printer.
    LoanPrinter(const CTamsicView& view, bool showTable);

    // The pages the printout takes on `area`. Every page after the one the table starts on
    // holds the same number of rows, so this needs no walk of the schedule.
    int CountPages(const PrintArea& area) const;
    // Draws page `page` (from 1) of the printout on `area` with `painter`, in the area's
    // device pixels with the origin at its top left. Only that page's rows are computed,
    // from the schedule's checkpoint nearest to its first row.
    void DrawPage(QPainter& painter, const PrintArea& area, int page) const;
    // Draws the pages listed in `pages` (every page when it is empty) with `painter`, which is
    // active on `device`: the first of them on the device's current page, each further one
    // on a new page. False when the device refused a new page.
    bool Draw(QPainter& painter, QPagedPaintDevice& device, const QPageRanges& pages = {}) const;

    // The document's title, for the print job and the PDF file.
    QString Title() const;

private:
    friend class PrintRun;
    class Layout;
    class Sheet;

    const LoanDocument& m_document;
    int m_year;
    bool m_showTable;
    // The view's table in screen pixels.
    int m_tableTop;
    int m_tableLeft;
    int m_tableRight;
    int m_columnWidth;
    int m_rowHeight;
};

// A printout going to a paged device one page at a time, so that its caller can report
// progress and stop between pages. Consecutive pages continue one walk of the schedule.
//   PrintRun run(loan, painter, printer);
//   while (run.NextPage() != 0 && run.DrawNext()) { ...progress, or stop... }
class PrintRun {
public:
    // `painter` is active on `device`; `pages` as for LoanPrinter::Draw.
    PrintRun(const LoanPrinter& loan, QPainter& painter, QPagedPaintDevice& device,
             const QPageRanges& pages = {});
    ~PrintRun();
    PrintRun(const PrintRun&) = delete;
    PrintRun& operator=(const PrintRun&) = delete;

    // How many pages the run draws, and how many of them it has drawn.
    int PageCount() const noexcept { return m_count; }
    int Drawn() const noexcept { return m_drawn; }
    // The number of the page DrawNext draws, 0 when the run is over.
    int NextPage() const noexcept { return m_next; }
    // Draws the next page; false, ending the run, when the device refused a new page.
    bool DrawNext();

private:
    int FollowingPage(int page) const;

    QPagedPaintDevice& m_device;
    const QPageRanges m_pages;
    std::unique_ptr<LoanPrinter::Sheet> m_sheet;
    int m_count = 0;
    int m_drawn = 0;
    int m_next = 0;
};
