#include "tools/CCompareDlg.h"

#include "tests/support/TestLoans.h"
#include "view/LoanDocument.h"
#include "view/LoanParamsCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

using brellow::test::Loan;
using brellow::test::LoanFields;

std::unique_ptr<LoanDocument> Document(const char* title, const LoanFields& fields) {
    return std::make_unique<LoanDocument>(Loan(title, fields));
}

// The heads, then "Total Interest" of each loan, as the window shows them.
QStringList Shown(const CCompareDlg& dialog) {
    const auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("comparison"));
    QStringList shown;
    for (int column = 0; column < table->columnCount(); ++column)
        shown << table->horizontalHeaderItem(column)->text();
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->verticalHeaderItem(row)->text() != QLatin1String("Total Interest")) continue;
        for (int column = 0; column < table->columnCount(); ++column)
            shown << table->item(row, column)->text();
    }
    return shown;
}

// The window follows a change of terms and its undo, documents coming and going, and
// copies what it shows.
TEST(CompareDialog, FollowsTheDocuments) {
    auto mortgage = Document("mortgage", {});
    auto shorter = Document("shorter", {.periods = 180});
    CCompareDlg dialog({mortgage.get(), shorter.get()});
    const QStringList before = {"mortgage", "shorter (cheapest)", "$115,838.53", "$51,893.88"};
    EXPECT_EQ(before, Shown(dialog));

    ASSERT_TRUE(ChangeAdditionalPayment(*mortgage, 1000));
    EXPECT_EQ((QStringList{"mortgage (cheapest)", "shorter", "$20,209.13", "$51,893.88"}),
              Shown(dialog));
    UndoLoanParameters(*mortgage);
    EXPECT_EQ(before, Shown(dialog));

    auto free = Document("free", {.rate = 0});
    dialog.AddDocument(free.get());
    mortgage.reset();
    EXPECT_EQ((QStringList{"shorter", "free (cheapest)", "$51,893.88", "$0.00"}), Shown(dialog));

    dialog.findChild<QPushButton*>(QStringLiteral("copy"))->click();
    EXPECT_EQ(dialog.TableText(), QApplication::clipboard()->text());
    EXPECT_TRUE(dialog.TableText().startsWith("\tshorter\tfree (cheapest)\r\nLoan Amount\t"));
}

}  // namespace
