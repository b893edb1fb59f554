#include "view/ScheduleAccessible.h"

#include "engine/Schedule.h"
#include "tests/support/TestLoans.h"
#include "view/CTamsicView.h"
#include "view/DisplaySettings.h"
#include "view/LoanDocument.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

std::string Name(QAccessibleInterface* item) {
    return item ? item->text(QAccessible::Name).toStdString() : "<none>";
}

// The only child of `parent` in `role`.
QAccessibleInterface* ChildIn(QAccessibleInterface* parent, QAccessible::Role role) {
    QAccessibleInterface* found = nullptr;
    for (int index = 0; index < parent->childCount(); ++index) {
        QAccessibleInterface* const child = parent->child(index);
        if (child->role() != role) continue;
        EXPECT_EQ(nullptr, found) << "two children in role " << role;
        found = child;
    }
    return found;
}

Texts RowTexts(QAccessibleTableInterface* table, int row) {
    Texts texts;
    for (int column = 0; column < table->columnCount(); ++column) {
        texts.push_back(Name(table->cellAt(row, column)));
    }
    return texts;
}

class AccessibleTest : public ::testing::Test {
protected:
    // 100,000.00 at 6 %, paid and compounded monthly over 360 months from January 2003.
    AccessibleTest() : document(brellow::test::Loan()), view(document, settings) {
        document.doc().m_bParametersPending = false;
        view.resize(800, 600);
        view.OnInitialUpdate();
        root = QAccessible::queryAccessibleInterface(&view);
    }

    QAccessibleTableInterface* Table() const {
        QAccessibleInterface* const table = ChildIn(root, QAccessible::Table);
        return table ? table->tableInterface() : nullptr;
    }

    DisplaySettings settings;
    LoanDocument document;
    CTamsicView view;
    QAccessibleInterface* root = nullptr;
};

TEST_F(AccessibleTest, ReadsTheSummaryTheTabsAndTheRowsOfTheSelectedYear) {
    view.SelectTab(1);
    ASSERT_NE(nullptr, root);
    for (int index = 0; index < root->childCount(); ++index) {
        QAccessibleInterface* const child = root->child(index);
        EXPECT_EQ(root, child->parent()) << index;
        EXPECT_EQ(index, root->indexOfChild(child));
    }
    EXPECT_EQ(QAccessible::StaticText, root->child(0)->role());
    EXPECT_EQ("Loan Amount: $100,000.00", Name(root->child(0)));

    QAccessibleInterface* const tabs = ChildIn(root, QAccessible::PageTabList);
    ASSERT_NE(nullptr, tabs);
    ASSERT_EQ(31, tabs->childCount());
    Texts names;
    std::vector<int> selected;
    for (int index = 0; index < tabs->childCount(); ++index) {
        QAccessibleInterface* const tab = tabs->child(index);
        EXPECT_EQ(QAccessible::PageTab, tab->role());
        names.push_back(Name(tab));
        if (tab->state().selected) selected.push_back(index);
    }
    EXPECT_EQ((Texts{"All", "2003", "2004"}), Texts(names.begin(), names.begin() + 3));
    EXPECT_EQ("2032", names.back());
    EXPECT_EQ(std::vector<int>{1}, selected);

    QAccessibleTableInterface* const table = Table();
    ASSERT_NE(nullptr, table);
    EXPECT_EQ(6, table->columnCount());
    EXPECT_EQ(12 + 2, table->rowCount());  // and the annual and running totals
    QAccessibleInterface* const tableItem = ChildIn(root, QAccessible::Table);
    Texts heads;
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(QAccessible::ColumnHeader, tableItem->child(column)->role());
        heads.push_back(Name(tableItem->child(column)));
    }
    EXPECT_EQ((Texts{"Period", "Date", "Payment", "Interest", "Principal", "Balance"}), heads);
    EXPECT_EQ((Texts{"1", "01/01/2003", "$599.55", "$500.00", "$99.55", "$99,900.45"}),
              RowTexts(table, 0));
    EXPECT_EQ((Texts{"12", "12/01/2003", "$599.55", "$494.39", "$105.16", "$98,771.99"}),
              RowTexts(table, 11));
    EXPECT_EQ((Texts{"Annual Totals:", "", "$7,194.60", "$5,966.59", "$1,228.01", ""}),
              RowTexts(table, 12));
    EXPECT_EQ((Texts{"Running Totals:", "", "$7,194.60", "$5,966.59", "$1,228.01", ""}),
              RowTexts(table, 13));
    EXPECT_EQ(nullptr, table->cellAt(14, 0));

    QAccessibleInterface* const cell = table->cellAt(0, 5);
    EXPECT_EQ(QAccessible::Cell, cell->role());
    EXPECT_EQ(6 + 5, tableItem->indexOfChild(cell));
    EXPECT_EQ("Balance", Name(cell->tableCellInterface()->columnHeaderCells().value(0)));

    // Pressing "All" selects it as a click would, and the table lists every row.
    tabs->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(brellow::kAllYears, view.GetSelectedYear());
    EXPECT_TRUE(tabs->child(0)->state().selected);
    ASSERT_EQ(360 + 1, table->rowCount());
    EXPECT_EQ("360", RowTexts(table, 359)[0]);
    EXPECT_EQ("12/01/2032", RowTexts(table, 359)[1]);
    EXPECT_EQ("$0.00", RowTexts(table, 359)[5]);
    EXPECT_EQ("Running Totals:", RowTexts(table, 360)[0]);
}

TEST_F(AccessibleTest, FollowsTheTermsAndTheTableSetting) {
    QAccessibleTableInterface* const table = Table();
    ASSERT_NE(nullptr, table);
    ASSERT_EQ("$599.55", RowTexts(table, 0)[2]);

    document.doc().SetLoanAmount(200000.0);
    document.doc().ComputePayment();
    document.notifyTermsChanged();
    EXPECT_EQ("Loan Amount: $200,000.00", Name(root->child(0)));
    EXPECT_EQ("$1,199.10", RowTexts(table, 0)[2]);

    settings.showTable = false;
    view.UpdateLayout();
    EXPECT_EQ(nullptr, ChildIn(root, QAccessible::Table));
    EXPECT_EQ(nullptr, ChildIn(root, QAccessible::PageTabList));
    EXPECT_EQ(0, table->rowCount());
}

TEST_F(AccessibleTest, NamesTheTableAndTheTabsAndFocusesTheCurrentCell) {
    QAccessibleInterface* const table = ChildIn(root, QAccessible::Table);
    ASSERT_NE(nullptr, table);
    EXPECT_EQ("Payments", Name(table));
    EXPECT_EQ("360 payments and the running totals",
              table->text(QAccessible::Description).toStdString());
    EXPECT_TRUE(table->state().focusable);
    EXPECT_EQ("Years", Name(ChildIn(root, QAccessible::PageTabList)));
    view.SelectTab(1);
    EXPECT_EQ("Payments of 2003", Name(table));
    EXPECT_EQ("12 payments and the annual and running totals",
              table->text(QAccessible::Description).toStdString());

    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    view.SetCurrentCell(11, 3);
    QAccessibleInterface* const cell = table->tableInterface()->cellAt(11, 3);
    EXPECT_TRUE(cell->state().focused);
    EXPECT_FALSE(table->tableInterface()->cellAt(11, 2)->state().focused);
    EXPECT_EQ(cell, root->focusChild());
    QAccessibleTextInterface* const text = cell->textInterface();
    ASSERT_NE(nullptr, text);
    EXPECT_EQ("$494.39", text->text(0, text->characterCount()).toStdString());
    view.clearFocus();
    EXPECT_FALSE(cell->state().focused);
}

}  // namespace
