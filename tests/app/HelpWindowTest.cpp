#include "app/HelpWindow.h"

#include <QDialog>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

TEST(HelpWindow, OneWindowFollowsTheWindowThatAsksForIt) {
    QWidget frame;
    HelpWindow* const help = ShowHelp(&frame, QStringLiteral("schedule"));
    ASSERT_NE(nullptr, help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    {
        // Asked from a modal dialog, the window must belong to it, or the dialog's
        // modality would block the help a person just asked for.
        QDialog dialog(&frame);
        EXPECT_EQ(help, ShowHelp(&dialog, QStringLiteral("parameters")));
        EXPECT_EQ(&dialog, help->parentWidget());
        EXPECT_TRUE(help->isWindow());
        EXPECT_TRUE(help->isVisible());
    }
    // It went with the dialog; the next request opens a new one.
    HelpWindow* const again = ShowHelp(&frame);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(&frame, again->parentWidget());
    again->close();
}

TEST(HelpWindow, EscapeClosesIt) {
    QWidget frame;
    HelpWindow* const help = ShowHelp(&frame);
    auto* const browser = help->findChild<QTextBrowser*>();
    ASSERT_NE(nullptr, browser);
    QTest::keyClick(browser, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

}  // namespace
