#include "view/CTamsicView.h"

#include "engine/Schedule.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/support/TestLoans.h"
#include "view/DisplaySettings.h"
#include "view/LoanDocument.h"
#include "view/YearTabStrip.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

namespace {

using brellow::OleDateTime;

// A loan whose view does not ask for its parameters.
brellow::CTamsicDoc SettledLoan(const brellow::test::LoanFields& fields = {}) {
    brellow::CTamsicDoc doc = brellow::test::Loan(fields);
    doc.m_bParametersPending = false;
    return doc;
}

constexpr QRgb kSentinel = 0xFF123456;

// The part of the view inside `exposed`, painted on an image full of kSentinel.
QImage Render(CTamsicView& view, const QRect& exposed) {
    QImage image(exposed.size(), QImage::Format_RGB32);
    image.fill(kSentinel);
    QPainter painter(&image);
    painter.translate(-exposed.topLeft());
    view.OnDraw(painter, exposed);
    return image;
}

class ViewTest : public ::testing::Test {
protected:
    // 100,000.00 at 6 %, paid and compounded monthly over 360 months from January 2003.
    ViewTest() : document(SettledLoan()), view(document, settings) {
        view.resize(800, 600);
        view.OnInitialUpdate();
    }

    // Terms changed the way the parameters commands change them.
    void Change(const std::function<void(brellow::CTamsicDoc&)>& edit) {
        edit(document.doc());
        document.doc().ComputePayment();
        document.notifyTermsChanged();
    }

    QImage Render(const QRect& exposed) { return ::Render(view, exposed); }

    int TableHeight() const { return view.m_nTableBottom - view.m_nTableTop; }

    DisplaySettings settings;
    LoanDocument document;
    CTamsicView view;
};

TEST_F(ViewTest, ThirtyYearLoanHasOneTabPerYearAboveTheTable) {
    YearTabStrip* const tabs = view.YearTabs();
    ASSERT_NE(nullptr, tabs);
    ASSERT_EQ(31, tabs->count());
    EXPECT_EQ("All", tabs->tabText(0).toStdString());
    EXPECT_EQ("2003", tabs->tabText(1).toStdString());
    EXPECT_EQ("2032", tabs->tabText(30).toStdString());
    EXPECT_EQ(0, tabs->currentIndex());
    EXPECT_EQ(195, view.m_nTableTop);
    EXPECT_EQ(20 * 362 + 2, TableHeight());
    EXPECT_EQ(QSize(682, 195 + 20 * 362 + 2), view.ScrollSize());
}

TEST_F(ViewTest, TableHeightFollowsTheSelectedYear) {
    view.SelectTab(1);
    EXPECT_EQ(2003, view.GetSelectedYear());
    EXPECT_EQ(20 * 15 + 2, TableHeight());
    view.SelectTab(0);
    EXPECT_EQ(brellow::kAllYears, view.GetSelectedYear());
    EXPECT_EQ(20 * 362 + 2, TableHeight());
}

TEST_F(ViewTest, AnnualLoanHasNoTabsAndListsAllYears) {
    Change([](brellow::CTamsicDoc& doc) {
        doc.SetPaymentFrequency(static_cast<int>(brellow::PaymentFrequency::Annually));
        doc.SetNumPeriods(30);
    });
    EXPECT_EQ(nullptr, view.YearTabs());
    EXPECT_EQ(120, view.m_nTableTop);
    EXPECT_EQ(20 * 32 + 2, TableHeight());
    EXPECT_EQ(brellow::kAllYears, view.GetSelectedYear());
}

TEST_F(ViewTest, HiddenTableLeavesOnlyTheSummary) {
    settings.showTable = false;
    view.UpdateLayout();
    EXPECT_EQ(nullptr, view.YearTabs());
    EXPECT_EQ(120, view.ScrollSize().height());
    settings.showTable = true;
    view.UpdateLayout();
    ASSERT_NE(nullptr, view.YearTabs());
    EXPECT_EQ(195, view.m_nTableTop);
}

TEST_F(ViewTest, ScheduleWithoutRowsKeepsHeadsAndTotals) {
    for (int periods : {0, -5}) {
        Change([periods](brellow::CTamsicDoc& doc) { doc.SetNumPeriods(periods); });
        EXPECT_EQ(20 * 2 + 2, TableHeight()) << periods;
        view.SelectTab(1);
        EXPECT_EQ(20 * 3 + 2, TableHeight()) << periods;
        view.SelectTab(0);
    }
}

TEST_F(ViewTest, LayoutFollowsTheScheduleAndKeepsTheSelectedYear) {
    YearTabStrip* const tabs = view.YearTabs();
    view.SelectTab(8);
    ASSERT_EQ(2010, view.GetSelectedYear());

    // Same length and years: the strip stays as it is.
    Change([](brellow::CTamsicDoc& doc) { doc.SetLoanAmount(250000.0); });
    EXPECT_EQ(tabs, view.YearTabs());
    EXPECT_EQ(2010, view.GetSelectedYear());

    // Ten years: 2010 still exists and stays selected.
    Change([](brellow::CTamsicDoc& doc) { doc.SetNumPeriods(120); });
    ASSERT_EQ(11, view.YearTabs()->count());
    EXPECT_EQ(2010, view.GetSelectedYear());
    EXPECT_EQ(145, view.m_nTableTop);
    EXPECT_EQ(20 * 15 + 2, TableHeight());

    // An additional payment shortens the schedule below 2010: back to "All".
    Change([](brellow::CTamsicDoc& doc) { doc.SetAdditionalPayment(2000.0); });
    const int rows = document.doc().GetScheduleLength();
    ASSERT_LT(rows, 84);
    EXPECT_EQ(brellow::kAllYears, view.GetSelectedYear());
    EXPECT_EQ(0, view.YearTabs()->currentIndex());
    EXPECT_EQ(20 * (rows + 2) + 2, TableHeight());
}

TEST_F(ViewTest, RebuiltStripKeepsAllInViewWhenTheSelectionFitsWithIt) {
    const struct {
        const char* rebuild;
        std::function<void()> act;
    } rebuilds[] = {
        {"table hidden and shown",
         [this] {
             settings.showTable = false;
             view.UpdateLayout();
             settings.showTable = true;
             view.UpdateLayout();
         }},
        {"twenty years",
         [this] { Change([](brellow::CTamsicDoc& doc) { doc.SetNumPeriods(240); }); }},
    };
    for (const auto& rebuild : rebuilds) {
        for (int selected : {6, 20}) {
            Change([](brellow::CTamsicDoc& doc) { doc.SetNumPeriods(360); });
            view.SelectTab(selected);
            // A pointer compare could meet a new strip at the freed address.
            const QPointer<const YearTabStrip> before = view.YearTabs();
            rebuild.act();
            ASSERT_TRUE(before.isNull()) << rebuild.rebuild << ": the strip was not rebuilt";
            const YearTabStrip* const tabs = view.YearTabs();
            ASSERT_EQ(selected, tabs->currentIndex()) << rebuild.rebuild;
            const int visibleRight = tabs->width() - 2 * tabs->height();
            const bool fits =
                tabs->tabRect(selected).right() - tabs->tabRect(0).left() < visibleRight;
            EXPECT_EQ(fits, tabs->tabRect(0).left() == 0) << rebuild.rebuild << selected;
            EXPECT_GE(tabs->tabRect(selected).left(), 0) << rebuild.rebuild << selected;
            EXPECT_LE(tabs->tabRect(selected).right(), visibleRight) << rebuild.rebuild << selected;
        }
    }
}

TEST_F(ViewTest, HomeAndEndScrollToTheTopAndTheBottom) {
    view.show();
    QScrollBar* const bar = view.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool bottom;
    } cases[] = {
        {Qt::Key_End, Qt::NoModifier, true},
        {Qt::Key_Home, Qt::NoModifier, false},
        {Qt::Key_End, Qt::ControlModifier, true},
        {Qt::Key_Home, Qt::ControlModifier, false},
    };
    for (const auto& c : cases) {
        bar->setValue(bar->maximum() / 2);
        QTest::keyClick(&view, c.key, c.modifiers);
        EXPECT_EQ(c.bottom ? bar->maximum() : 0, bar->value()) << c.key << " " << c.modifiers;
    }
}

TEST_F(ViewTest, KeysMoveTheCurrentCellWhichIsMarkedOnlyWithTheFocus) {
    view.SelectTab(0);
    const QRect table(0, 0, 682, 700);
    const QImage plain = Render(table);
    view.resize(800, 300);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    ASSERT_TRUE(view.hasFocus());

    // 300 pixels show 15 lines, a page of 14 rows below the heads' line.
    const struct {
        Qt::Key key;
        int row;
        int column;
    } steps[] = {
        {Qt::Key_Right, 0, 1},   {Qt::Key_Down, 1, 1},      {Qt::Key_Left, 1, 0},
        {Qt::Key_Left, 1, 0},    {Qt::Key_PageDown, 15, 0}, {Qt::Key_PageDown, 29, 0},
        {Qt::Key_PageUp, 15, 0}, {Qt::Key_End, 360, 0},     {Qt::Key_Down, 360, 0},
        {Qt::Key_Up, 359, 0},    {Qt::Key_Right, 359, 1},   {Qt::Key_Home, 0, 1},
        {Qt::Key_Up, 0, 1},
    };
    for (const auto& step : steps) {
        QTest::keyClick(&view, step.key);
        EXPECT_EQ(step.row, view.CurrentRow()) << step.key;
        EXPECT_EQ(step.column, view.CurrentColumn()) << step.key;
        const QRect sight(view.ScrollPosition(), view.viewport()->size());
        EXPECT_TRUE(sight.contains(view.CellRect(step.row + 1, step.column))) << step.key;
    }

    // The mark stands around the current cell while the view has the focus, and only then.
    view.SetCurrentCell(2, 3);
    const QRect cell = view.CellRect(3, 3);
    const QImage marked = Render(table);
    int changed = 0;
    for (int y = 0; y < table.height(); ++y) {
        for (int x = 0; x < table.width(); ++x) {
            if (marked.pixel(x, y) == plain.pixel(x, y)) continue;
            ++changed;
            ASSERT_TRUE(cell.adjusted(-2, -2, 2, 2).contains(x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 0);
    view.clearFocus();
    EXPECT_EQ(plain, Render(table));
}

TEST_F(ViewTest, RowsMovingBetweenYearsResizeTheTable) {
    Change([](brellow::CTamsicDoc& doc) {
        doc.SetFirstPaymentDate(OleDateTime::FromDate(2003, 3, 1));
    });
    view.SelectTab(1);
    ASSERT_EQ(2003, view.GetSelectedYear());
    EXPECT_EQ(20 * (10 + 3) + 2, TableHeight());
    // Still 2003 to 2033 and 360 rows, but one row fewer in 2003.
    Change([](brellow::CTamsicDoc& doc) {
        doc.SetFirstPaymentDate(OleDateTime::FromDate(2003, 4, 1));
    });
    EXPECT_EQ(2003, view.GetSelectedYear());
    EXPECT_EQ(20 * (9 + 3) + 2, TableHeight());
}

TEST_F(ViewTest, InvalidFirstDateShowsNoTabs) {
    Change([](brellow::CTamsicDoc& doc) {
        doc.SetFirstPaymentDate(OleDateTime(0.0, OleDateTime::Status::Invalid));
    });
    EXPECT_EQ(nullptr, view.YearTabs());
    EXPECT_EQ(120, view.m_nTableTop);
    EXPECT_EQ(20 * 362 + 2, TableHeight());
}

TEST_F(ViewTest, PaintsBackgroundsFrameAndGridInTheChosenColours) {
    const QFontInfo info(view.font());
    ASSERT_FALSE(info.family().isEmpty());
    ASSERT_TRUE(QFontMetrics(view.font()).inFont(QLatin1Char('7'))) << "no usable font was found";

    settings.colorWinBack = 0x00E0F0FF;    // red 255, green 240, blue 224
    settings.colorTableBack = 0x00C0FFC0;  // red 192, green 255, blue 192
    const QImage image = Render(QRect(0, 0, 700, 400));
    EXPECT_EQ(qRgb(255, 240, 224), image.pixel(5, 5));
    EXPECT_EQ(qRgb(255, 240, 224), image.pixel(20, 300));
    EXPECT_EQ(qRgb(191, 191, 191), image.pixel(30, 300));  // frame
    EXPECT_EQ(qRgb(191, 191, 191), image.pixel(681, 300));
    EXPECT_EQ(qRgb(239, 239, 239), image.pixel(160, 300));  // column line
    EXPECT_EQ(qRgb(239, 239, 239), image.pixel(600, 215));  // under the heads
    EXPECT_EQ(qRgb(192, 255, 192), image.pixel(555, 300));  // left of a right-aligned amount

    // The heads and the first rows carry text.
    int inked = 0;
    for (int x = 31; x < 681; ++x) {
        const QRgb pixel = image.pixel(x, 205);
        if (pixel != qRgb(192, 255, 192) && pixel != qRgb(239, 239, 239)) ++inked;
    }
    EXPECT_GT(inked, 50);
}

// Dark colours chosen in the options get light text, in the summary and in the table.
TEST_F(ViewTest, TextIsLightOnDarkBackgrounds) {
    settings.colorWinBack = 0x00202020;
    settings.colorTableBack = 0x00402020;  // red 32, green 32, blue 64
    const QImage image = Render(QRect(0, 0, 700, 400));
    for (const QRect& text : {QRect(0, 10, 700, 40), QRect(31, 200, 650, 30)}) {
        int light = 0;
        for (int y = text.top(); y <= text.bottom(); ++y) {
            for (int x = text.left(); x <= text.right(); ++x) light += qGray(image.pixel(x, y)) > 245;
        }
        EXPECT_GT(light, 100) << text.y();
    }
}

TEST_F(ViewTest, PartialPaintsMatchTheWholePicture) {
    view.SelectTab(0);
    const QRect whole(0, 0, 682, view.m_nTableBottom);
    const QImage full = Render(whole);
    for (int top : {0, 7, 100, 195, 203, 1013, 3333, view.m_nTableBottom - 61}) {
        const QRect band(0, top, 682, 61);
        EXPECT_EQ(full.copy(band), Render(band)) << "band at " << top;
    }
    // A year's table ends with its totals lines.
    view.SelectTab(30);
    const QImage year = Render(QRect(0, 0, 682, view.m_nTableBottom));
    const QRect totals(0, view.m_nTableBottom - 45, 682, 45);
    EXPECT_EQ(year.copy(totals), Render(totals));
}

TEST_F(ViewTest, NothingIsDrawnOutsideTheExposedRectangle) {
    const QRect exposed(40, 1000, 300, 50);
    QImage image(800, 1200, QImage::Format_RGB32);
    image.fill(kSentinel);
    {
        QPainter painter(&image);
        view.OnDraw(painter, exposed);
    }
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 5) {
            if (!exposed.contains(x, y)) {
                ASSERT_EQ(kSentinel, image.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(ViewTest, NewDocumentOpensTheParametersDialogOnce) {
    document.doc().m_bParametersPending = true;
    view.show();
    EXPECT_TRUE(view.IsParametersTimerActive());
    gui_test::RejectingModals([&] { view.OnTimer(); });
    EXPECT_FALSE(view.IsParametersTimerActive());
    EXPECT_FALSE(document.doc().m_bParametersPending);

    // A later show starts the timer again, but the dialog is not asked for twice.
    view.hide();
    view.show();
    EXPECT_EQ(0, gui_test::RejectingModals([&] { view.OnTimer(); }));
}

TEST(ViewLargeLoan, WeeklyLoanOfManyYearsGetsAScrollingStrip) {
    DisplaySettings settings;
    LoanDocument document(
        SettledLoan({.periods = 400000, .first = OleDateTime::FromDate(2026, 1, 1), .payment = 0}));
    const brellow::CTamsicDoc& doc = document.doc();
    CTamsicView view(document, settings);
    view.resize(1000, 800);
    view.OnInitialUpdate();
    const brellow::YearSpan span = brellow::ScheduleYears(doc);
    ASSERT_NE(nullptr, view.YearTabs());
    EXPECT_EQ(span.Count() + 1, view.YearTabs()->count());
    EXPECT_TRUE(view.YearTabs()->isScrollable());
    EXPECT_EQ(120 + 25 * (span.Count() / 11 + 1), view.m_nTableTop);
    EXPECT_EQ(view.m_nTableTop + 20 * 400002 + 2, view.m_nTableBottom);
}

TEST(ViewCheckpoints, RowsFromACheckpointPaintAsFromTheFirstRow) {
    // Checkpoints every 1,024 rows of an undated loan, and at each year of a weekly one.
    const struct {
        const char* loan;
        brellow::test::LoanFields fields;
        int tab;
    } cases[] = {
        {"undated",
         {.periods = 5000, .first = OleDateTime(0.0, OleDateTime::Status::Invalid), .payment = 0},
         0},
        {"weekly, every year", {.periods = 5000, .payment = 0}, 0},
        {"weekly, one year", {.periods = 5000, .payment = 0}, 40},
    };
    for (const auto& c : cases) {
        DisplaySettings settings;
        LoanDocument kept(SettledLoan(c.fields));
        LoanDocument stale(SettledLoan({.amount = 1}));
        CTamsicView keptView(kept, settings);
        CTamsicView staleView(stale, settings);
        keptView.OnInitialUpdate();
        staleView.OnInitialUpdate();
        // The same terms without telling the document: its checkpoints belong to other
        // terms, so its walks start at the first row.
        stale.doc() = kept.doc();
        staleView.UpdateLayout();
        ASSERT_TRUE(kept.checkpoints().Basis() == kept.doc().GetScheduleBasis()) << c.loan;
        ASSERT_FALSE(stale.checkpoints().Basis() == stale.doc().GetScheduleBasis()) << c.loan;
        keptView.SelectTab(c.tab);
        staleView.SelectTab(c.tab);
        const int bottom = keptView.m_nTableBottom;
        ASSERT_EQ(bottom, staleView.m_nTableBottom) << c.loan;
        for (int top : {keptView.m_nTableTop + 20 * 1100 + 7, bottom / 2, bottom - 300}) {
            const QRect band(0, top, 682, 300);
            EXPECT_EQ(Render(staleView, band), Render(keptView, band)) << c.loan << " at " << top;
        }
    }
}

}  // namespace
