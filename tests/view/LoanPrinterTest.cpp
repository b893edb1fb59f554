#include "view/LoanPrinter.h"

#include "tests/support/TestLoans.h"
#include "tests/view/PdfText.h"
#include "view/CTamsicView.h"
#include "view/DisplaySettings.h"
#include "view/LoanDocument.h"
#include "view/PrintOutput.h"
#include "view/PrintPreviewDialog.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

#include <fstream>
#include <numeric>
#include <string>
#include <vector>

namespace {

using brellow::test::LoanFields;

constexpr int kDpi = 600;

QPageLayout Paper(QPageSize::PageSizeId size) {
    return QPageLayout(QPageSize(size), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

PrintArea AreaOf(const QPageLayout& layout, int dpi) {
    const QRect printable = layout.paintRectPixels(dpi);
    return {printable.width(), printable.height(), dpi, dpi};
}

// The process's resident memory (Linux).
double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0.0;
}

// A loan in a view that is laid out as on screen, ready to print.
struct ViewedLoan {
    explicit ViewedLoan(const LoanFields& fields, bool showTable = true)
        : document(brellow::test::Loan(fields)), view(document, settings) {
        document.doc().m_bParametersPending = false;
        settings.showTable = showTable;
        view.OnInitialUpdate();
    }

    DisplaySettings settings;
    LoanDocument document;
    CTamsicView view;
};

class LoanPrinterTest : public ::testing::Test {
protected:
    struct Printout {
        int counted = 0;
        std::vector<std::string> pages;
    };

    // Prints to a PDF file and reads its text back, page by page.
    Printout Print(const CTamsicView& view, bool showTable, const QPageLayout& layout,
                   const QPageRanges& pages = {}, int dpi = kDpi) {
        const LoanPrinter printer(view, showTable);
        const QString path = dir.filePath(QStringLiteral("loan%1.pdf").arg(++m_files));
        EXPECT_EQ("", PrintToPdf(printer, path, layout, dpi, pages).toStdString());
        return {printer.CountPages(AreaOf(layout, dpi)), pdf_text::Pages(path)};
    }

    QTemporaryDir dir;

private:
    int m_files = 0;
};

TEST_F(LoanPrinterTest, EveryRowOnceTheSummaryFirstAndTheTotalsLast) {
    const struct {
        const char* name;
        LoanFields loan;
        QPageSize::PageSizeId paper;
        int pages;
    } cases[] = {
        {"360 monthly, Letter", {}, QPageSize::Letter, 8},
        {"360 monthly, A4", {}, QPageSize::A4, 7},
        {"1,000 weekly, Letter", {.periods = 1000, .payment = 0}, QPageSize::Letter, 21},
        {"1,000 weekly, A4", {.periods = 1000, .payment = 0}, QPageSize::A4, 19},
        // All 45 rows fit on the first page, the two totals bands below them do not.
        {"45 monthly, A4", {.periods = 45}, QPageSize::A4, 2},
        // 500 years of tabs put the table's top below the first page: it starts on page 2.
        {"6,000 monthly, A4", {.periods = 6000}, QPageSize::A4, 113},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ViewedLoan loan(c.loan);
        const Printout printout = Print(loan.view, true, Paper(c.paper));
        EXPECT_EQ(c.pages, printout.counted);
        EXPECT_EQ(c.pages, static_cast<int>(printout.pages.size()));
        if (printout.pages.empty()) continue;

        std::vector<int> periods;
        int runningTotals = 0;
        for (std::size_t page = 0; page < printout.pages.size(); ++page) {
            const std::string& text = printout.pages[page];
            const std::vector<int> rows = pdf_text::Periods(text);
            periods.insert(periods.end(), rows.begin(), rows.end());
            EXPECT_EQ(page == 0, pdf_text::Count(text, "Loan Amount: $100,000.00") == 1) << page;
            const std::size_t headerPage = c.loan.periods == 6000 ? 1 : 0;
            EXPECT_EQ(page == headerPage ? 1 : 0, pdf_text::Count(text, "Principal")) << page;
            runningTotals += pdf_text::Count(text, "Running Totals:");
        }
        std::vector<int> expected(static_cast<std::size_t>(c.loan.periods));
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(expected, periods);
        EXPECT_EQ(1, runningTotals);
        EXPECT_EQ(1, pdf_text::Count(printout.pages.back(), "Running Totals:"));
        EXPECT_EQ(0, pdf_text::Count(printout.pages.back(), "Annual Totals:"));
    }
}

TEST_F(LoanPrinterTest, TheSelectedYearPrintsItsRowsAndBothTotals) {
    ViewedLoan loan({});
    loan.view.SelectTab(2);  // 2004
    const Printout printout = Print(loan.view, true, Paper(QPageSize::Letter));
    ASSERT_EQ(1, printout.counted);
    ASSERT_EQ(1u, printout.pages.size());
    const std::string& page = printout.pages[0];
    std::vector<int> expected(12);
    std::iota(expected.begin(), expected.end(), 13);
    EXPECT_EQ(expected, pdf_text::Periods(page));
    // The year's 12 payments, and the 24 from the first one.
    EXPECT_EQ(1, pdf_text::Count(page, "Annual Totals:"));
    EXPECT_EQ(1, pdf_text::Count(page, "Running Totals:"));
    EXPECT_EQ("Annual Totals: $7,194.60 $5,890.85 $1,303.75",
              pdf_text::Line(page, "Annual Totals:"));
    EXPECT_EQ("Running Totals: $14,389.20 $11,857.45 $2,531.75",
              pdf_text::Line(page, "Running Totals:"));
}

TEST_F(LoanPrinterTest, WithoutTheTableOnlyTheSummaryPrints) {
    const ViewedLoan loan({.balloon = 120, .extra = 100}, false);
    const Printout printout = Print(loan.view, false, Paper(QPageSize::A4));
    ASSERT_EQ(1, printout.counted);
    ASSERT_EQ(1u, printout.pages.size());
    const std::string& page = printout.pages[0];
    for (const char* line :
         {"Loan Amount: $100,000.00", "Interest Rate: 6%", "# of Periods: 360",
          "Payment per Period: $599.55", "Additional Payment Per Period: $100.00",
          "Payment Period: Monthly", "Compound Period: Monthly", "Balloon Payment: Yes",
          "Balloon Payment at Period: 120"}) {
        EXPECT_EQ(1, pdf_text::Count(page, line)) << line;
    }
    EXPECT_EQ(0, pdf_text::Count(page, "Period  "));
    EXPECT_TRUE(pdf_text::Periods(page).empty());
    EXPECT_EQ(0, pdf_text::Count(page, "Totals:"));
}

// The layout scales with the resolution: the same rows on the same pages.
TEST_F(LoanPrinterTest, OtherResolutionsPrintTheSamePages) {
    const ViewedLoan loan({});
    const QPageLayout a4 = Paper(QPageSize::A4);
    const Printout design = Print(loan.view, true, a4);
    for (const int dpi : {300, 1200}) {
        SCOPED_TRACE(dpi);
        const Printout printout = Print(loan.view, true, a4, {}, dpi);
        EXPECT_EQ(design.counted, printout.counted);
        ASSERT_EQ(design.pages.size(), printout.pages.size());
        for (std::size_t page = 0; page < design.pages.size(); ++page) {
            EXPECT_EQ(pdf_text::Periods(design.pages[page]),
                      pdf_text::Periods(printout.pages[page]));
        }
        EXPECT_EQ(pdf_text::Line(design.pages.back(), "Running Totals:"),
                  pdf_text::Line(printout.pages.back(), "Running Totals:"));
    }
}

TEST_F(LoanPrinterTest, APageRangePrintsThosePagesOfTheWholePrintout) {
    const ViewedLoan loan({});
    const QPageLayout a4 = Paper(QPageSize::A4);
    const Printout whole = Print(loan.view, true, a4);
    QPageRanges secondAndLast;
    secondAndLast.addPage(2);
    secondAndLast.addPage(7);
    const Printout some = Print(loan.view, true, a4, secondAndLast);
    ASSERT_EQ(2u, some.pages.size());
    EXPECT_EQ(whole.pages[1], some.pages[0]);
    EXPECT_EQ(whole.pages[6], some.pages[1]);
}

// The table's edges and a rule where the scaled geometry puts them, on the first page of the
// worked mortgage on Letter paper at 600 dpi: the table's top is 6 × 195 dots below the
// printable area's, the header's rule 12 below that, the first row's rule one row of 120 lower.
TEST_F(LoanPrinterTest, RulesStandWhereTheScaledLayoutPutsThem) {
    ASSERT_FALSE(QFontInfo(QFont()).family().isEmpty());
    const ViewedLoan loan({});
    const QPageLayout letter = Paper(QPageSize::Letter);
    const QString path = dir.filePath(QStringLiteral("letter.pdf"));
    ASSERT_EQ("", PrintToPdf(LoanPrinter(loan.view, true), path, letter, kDpi).toStdString());

    const QRect printable = letter.paintRectPixels(kDpi);
    const auto across = [&](int x) { return printable.left() + x * printable.width() * 7 / 4800; };
    const int left = across(30);
    const int right = across(682);
    const int column = across(130) - printable.left();
    const int headerRule = printable.top() + 6 * 195 + 12;
    const int rowRule = headerRule + 120;
    const QImage page = pdf_text::Render(path, 1, kDpi, QRect(0, headerRule - 60, 0, 300));
    ASSERT_FALSE(page.isNull());
    // A line one dot wide centred on x lands on pixel x or x - 1 (likewise y).
    const auto dark = [&](int x, int y) {
        return qGray(page.pixel(x, y - (headerRule - 60))) < 128;
    };
    const auto ink = [&](int x, int y) { return dark(x, y) || dark(x - 1, y) || dark(x, y - 1); };

    // The left edge, and the last column bar before the right edge.
    const int middle = rowRule + 60;
    EXPECT_TRUE(ink(left, middle));
    EXPECT_FALSE(ink(left - 3, middle));
    EXPECT_TRUE(ink(left + 5 * column, middle));
    EXPECT_FALSE(ink(left + 5 * column + 3, middle));
    // The first row's rule runs from the left edge to 9 dots short of the right one.
    const int blank = left + column / 2;
    EXPECT_TRUE(ink(blank, rowRule));
    EXPECT_FALSE(ink(blank, rowRule - 3));
    EXPECT_FALSE(ink(blank, rowRule + 3));
    EXPECT_TRUE(ink(right - 12, rowRule));
    EXPECT_FALSE(ink(right - 5, rowRule));
}

// A preview of thousands of pages draws the pages it shows and no others, each with the rows
// it prints with, in little memory.
TEST_F(LoanPrinterTest, ThePreviewDrawsOnlyThePagesItShows) {
    const ViewedLoan loan({.amount = 900000000000.0,
                           .periods = 400000,
                           .rate = 0.01,
                           .first = brellow::OleDateTime::FromDate(2026, 1, 1),
                           .payment = 0});
    const LoanPrinter printer(loan.view, true);
    const QPageLayout a4 = Paper(QPageSize::A4);
    QPrinter paper(QPrinter::HighResolution);
    paper.setResolution(kDpi);
    paper.setPageLayout(a4);
    constexpr int kPage = 5000;
    const double before = ResidentMiB();
    std::vector<int> drawn;
    PrintPreviewDialog preview(printer, paper, 1);
    QObject::connect(&preview, &PrintPreviewDialog::pageDrawn,
                     [&drawn](int page) { drawn.push_back(page); });
    EXPECT_EQ(printer.CountPages(AreaOf(a4, kDpi)), preview.PageCount());
    preview.show();
    ASSERT_TRUE(QTest::qWaitFor([&drawn] { return !drawn.empty(); }));
    preview.SetCurrentPage(kPage);
    ASSERT_TRUE(QTest::qWaitFor([&drawn] { return drawn.back() == kPage; }));
    for (const int page : drawn) EXPECT_TRUE(page == 1 || page == kPage) << page;

    // The page on screen, read back as text.
    const QString shown = dir.filePath(QStringLiteral("shown.pdf"));
    {
        QPdfWriter writer(shown);
        QPainter painter(&writer);
        preview.findChild<QScrollArea*>()->widget()->render(&painter);
    }
    QPageRanges pageRange;
    pageRange.addPage(kPage);
    const Printout printed = Print(loan.view, true, a4, pageRange);
    ASSERT_EQ(1u, printed.pages.size());
    const std::vector<int> rows = pdf_text::Periods(printed.pages[0]);
    EXPECT_FALSE(rows.empty());
    EXPECT_EQ(rows, pdf_text::Periods(pdf_text::Pages(shown).at(0)));
    EXPECT_LT(ResidentMiB() - before, 40.0);
}

// The deflate level each zlib stream of a PDF was written at, from the stream's header:
// 0 for level 1, 1 for levels 2 to 5, 2 for the default 6, 3 for 7 to 9.
std::vector<int> DeflateLevels(const QByteArray& pdf) {
    std::vector<int> levels;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
        const QByteArray header = pdf.mid(at + 7, 2);
        if (pdf.mid(at - 3, 3) != "end" && header.size() == 2 && header[0] == 0x78) {
            levels.push_back(static_cast<unsigned char>(header[1]) >> 6);
        }
    }
    return levels;
}

// Pages deflate fast while a print runs; deflate's default is zlib's own before and after.
TEST_F(LoanPrinterTest, PagesDeflateFastOnlyWhileAPrintRuns) {
    const auto defaultLevel = [] {
        z_stream stream{};
        deflateInit(&stream, Z_DEFAULT_COMPRESSION);
        unsigned char out[64];
        stream.next_out = out;
        stream.avail_out = sizeof out;
        deflate(&stream, Z_FINISH);
        deflateEnd(&stream);
        return out[1] >> 6;
    };
    EXPECT_EQ(2, defaultLevel());
    const ViewedLoan loan({});
    const QString path = dir.filePath(QStringLiteral("fast.pdf"));
    ASSERT_EQ("", PrintToPdf(LoanPrinter(loan.view, true), path, Paper(QPageSize::A4), kDpi)
                      .toStdString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::vector<int> levels = DeflateLevels(file.readAll());
    ASSERT_GE(levels.size(), 7u);  // a page stream each, and the font's
    for (const int level : levels) EXPECT_EQ(1, level);  // level 3
    EXPECT_EQ(2, defaultLevel());
}

}  // namespace
