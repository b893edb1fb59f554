#include "view/YearTabStrip.h"

#include "engine/Schedule.h"
#include "tests/support/TestLoans.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace {

TEST(YearTabStrip, TextsAndSelection) {
    YearTabStrip strip(2003, 30);
    ASSERT_EQ(31, strip.count());
    EXPECT_EQ("All", strip.tabText(0).toStdString());
    EXPECT_EQ("2003", strip.tabText(1).toStdString());
    EXPECT_EQ("2032", strip.tabText(30).toStdString());
    EXPECT_EQ("", strip.tabText(31).toStdString());

    QSignalSpy changes(&strip, &YearTabStrip::currentChanged);
    strip.setCurrentIndex(5);
    strip.setCurrentIndex(5);
    strip.setCurrentIndex(99);  // clamped to the last tab
    ASSERT_EQ(2, changes.size());
    EXPECT_EQ(5, changes[0][0].toInt());
    EXPECT_EQ(30, strip.currentIndex());
}

TEST(YearTabStrip, ClicksAndKeysSelectTabs) {
    YearTabStrip strip(2003, 30);
    strip.resize(652, strip.sizeHint().height());
    strip.show();
    QTest::mouseClick(&strip, Qt::LeftButton, {}, strip.tabRect(3).center());
    EXPECT_EQ(3, strip.currentIndex());
    QTest::keyClick(&strip, Qt::Key_Right);
    EXPECT_EQ(4, strip.currentIndex());
    QTest::keyClick(&strip, Qt::Key_Home);
    EXPECT_EQ(0, strip.currentIndex());
    QTest::keyClick(&strip, Qt::Key_Left);
    EXPECT_EQ(0, strip.currentIndex());
    QTest::keyClick(&strip, Qt::Key_End);
    EXPECT_EQ(30, strip.currentIndex());
}

TEST(YearTabStrip, ThousandsOfYearsScrollAndStayConsistent) {
    YearTabStrip strip(2026, 7667);
    strip.resize(652, strip.sizeHint().height());
    ASSERT_TRUE(strip.isScrollable());
    for (int index : {0, 1, 4000, 7667, 2}) {
        strip.setCurrentIndex(index);
        const QRect shown = strip.tabRect(index);
        // The selected tab is in sight, left of the arrow buttons, and found where it is.
        EXPECT_GE(shown.left(), 0) << index;
        EXPECT_LE(shown.right(), strip.width() - 2 * strip.height()) << index;
        EXPECT_EQ(index, strip.tabAt(shown.center())) << index;
    }
    EXPECT_EQ(-1, strip.tabAt(QPoint(strip.width() - 1, 1)));  // on an arrow button
}

TEST(YearTabStrip, NarrowStripOfFewYearsDoesNotScroll) {
    YearTabStrip strip(2003, 2);
    strip.resize(652, strip.sizeHint().height());
    EXPECT_FALSE(strip.isScrollable());
    EXPECT_EQ(-1, strip.tabAt(QPoint(600, 1)));  // right of the last tab
}

TEST(YearTabs, EachTabListsItsYear) {
    using brellow::OleDateTime;
    using brellow::test::Loan;
    const brellow::CTamsicDoc monthly = Loan();  // 2003 to 2032
    const brellow::CTamsicDoc annual = Loan({.periods = 10, .payment = 6, .compound = 7});
    const brellow::CTamsicDoc undated =
        Loan({.first = OleDateTime(37622.0, OleDateTime::Status::Null)});
    const struct {
        const char* loan;
        const brellow::CTamsicDoc& doc;
        bool tabs;
        int tab;
        int year;
    } cases[] = {
        {"monthly", monthly, true, 0, brellow::kAllYears},
        {"monthly", monthly, true, -1, brellow::kAllYears},
        {"monthly", monthly, true, 1, 2003},
        {"monthly", monthly, true, 30, 2032},
        {"annual", annual, false, 2, brellow::kAllYears},
        {"undated", undated, false, 3, brellow::kAllYears},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.tabs, HasYearTabs(c.doc)) << c.loan;
        EXPECT_EQ(c.year, SelectedYear(c.doc, c.tab)) << c.loan << " tab " << c.tab;
    }
}

}  // namespace
