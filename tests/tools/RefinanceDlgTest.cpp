#include "output/RefinanceAdviceText.h"
#include "tests/app/GuiTestSupport.h"
#include "tools/CRefinanceDlg.h"
#include "tools/CRefinanceResultDlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using brellow::RefinanceField;
using F = RefinanceField;

using Typed = std::vector<std::pair<RefinanceField, QString>>;

void Type(CRefinanceDlg* dlg, const Typed& typed) {
    for (const auto& [field, text] : typed) {
        QLineEdit* const edit = dlg->Field(field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
}

void Press(CRefinanceDlg* dlg, const QString& caption) {
    for (auto* button : dlg->findChildren<QPushButton*>()) {
        if (button->text() == caption) button->click();
    }
}

// Presses "Analyze..." and returns "caption|text" of the message box it raises, if any.
QString AnalyzeWithMessage(CRefinanceDlg* dlg) {
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->windowTitle() + "|" + box->text();
            box->accept();
        }
    });
    Press(dlg, "Analyze...");
    return shown;
}

// Runs the advisor with `typed` in the input dialog; the advice shown, or "" when the
// input dialog did not accept them (it is then cancelled).
QString Advise(const Typed& typed) {
    QString advice;
    gui_test::WhenModal<CRefinanceDlg>([&](CRefinanceDlg* dlg) {
        Type(dlg, typed);
        Press(dlg, "Analyze...");
        if (dlg->isVisible()) {
            dlg->reject();
            return;
        }
        gui_test::WhenModal<CRefinanceResultDlg>([&](CRefinanceResultDlg* result) {
            EXPECT_EQ("Refinance Advisor Says:", result->windowTitle());
            advice = result->Text();
            result->accept();
        });
    });
    RunRefinanceAdvisor(nullptr, {});
    return advice;
}

TEST(RefinanceAdvisor, OpensAtZeroAndCancelEndsSilently) {
    QWidget* helpParent = nullptr;
    QString helpTopic;
    bool ran = false;
    gui_test::WhenModal<CRefinanceDlg>([&](CRefinanceDlg* dlg) {
        ran = true;
        EXPECT_EQ("Refinance Advisor", dlg->windowTitle());
        for (int i = 0; i < 9; ++i) EXPECT_EQ("0", dlg->Field(static_cast<F>(i))->text()) << i;
        EXPECT_EQ(dlg->Field(F::OriginalAmount), dlg->focusWidget());
        helpParent = dlg;
        Press(dlg, "Help");
        Press(dlg, "Cancel");
    });
    // A result dialog after Cancel would be left open and fail the run.
    RunRefinanceAdvisor(nullptr, [&](QWidget* parent, const QString& topic) {
        EXPECT_EQ(helpParent, parent);
        helpTopic = topic;
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ("tools", helpTopic);
}

TEST(RefinanceAdvisor, RefusesTheFirstBadFieldInTabOrderAndFocusesIt) {
    const QString range =
        "Please enter an integer between 1 and 83333. A loan term is at "
        "most 1,000,000 months.";
    const QString amount =
        "Please enter an amount between -999,999,999,999.99 and 999,999,999,999.99.";
    const Typed valid = {{F::OriginalAmount, "120000"}, {F::Years, "10"}, {F::NewYears, "20"}};
    struct Case {
        Typed typed;  // over `valid`
        RefinanceField focus;
        QString message;
    };
    const Case cases[] = {
        {{{F::OriginalAmount, "12o"}, {F::Years, "x"}},
         F::OriginalAmount,
         "Please enter a number."},
        {{{F::Years, "-1"}}, F::Years, "Please enter a positive integer."},
        {{{F::Rate, "6%"}}, F::Rate, "Please enter a number."},
        {{{F::MonthsPaid, "1.5"}}, F::MonthsPaid, "Please enter a positive integer."},
        {{{F::TaxBracket, ""}}, F::TaxBracket, "Please enter a number."},
        {{{F::NewYears, "4294967296"}}, F::NewYears, "Please enter a positive integer."},
        {{{F::NewRate, "five"}}, F::NewRate, "Please enter a number."},
        {{{F::Points, "1,5"}}, F::Points, "Please enter a number."},
        {{{F::ClosingCost, "$1,00"}}, F::ClosingCost, "Please enter a number."},
        // Inputs that leave the figures undefined, named with their group.
        {{{F::Years, "0"}}, F::Years, "Current Loan, Total Periods (years): " + range},
        {{{F::MonthsPaid, "121"}},
         F::MonthsPaid,
         "Current Loan, Months already paid: Please enter an integer between 0 and 120."},
        {{{F::TaxBracket, "100"}},
         F::TaxBracket,
         "Current Loan, Your Federal and State Tax Bracket (%): Please enter a tax bracket "
         "below 100%: at 100% or more nothing is saved after tax."},
        {{{F::NewYears, "0"}}, F::NewYears, "New Loan, Total Periods (years): " + range},
        // Each figure beyond what can be shown is refused at the field that carries it there.
        {{{F::OriginalAmount, "1.7e308"}},
         F::OriginalAmount,
         "Current Loan, Original Loan Amount: " + amount},
        {{{F::Points, "1e20"}},
         F::Points,
         "New Loan, Loan Points: With these figures the cost of refinancing would exceed what "
         "can be shown to the cent."},
        {{{F::ClosingCost, "1e20"}}, F::ClosingCost, "New Loan, Closing Cost: " + amount},
    };
    for (const Case& c : cases) {
        CRefinanceDlg dlg;
        dlg.show();
        Type(&dlg, valid);
        Type(&dlg, c.typed);
        EXPECT_EQ("Brellow|" + c.message, AnalyzeWithMessage(&dlg));
        EXPECT_TRUE(dlg.isVisible()) << c.message.toStdString();
        EXPECT_EQ(dlg.Field(c.focus), dlg.focusWidget()) << c.message.toStdString();
        EXPECT_EQ(dlg.Field(c.focus)->text(), dlg.Field(c.focus)->selectedText());
    }
}

TEST(RefinanceAdvisor, ShowsTheAdviceForEachShape) {
    // 120,000.00 over 10 years at 0 % refinanced over 20 years at 0 %: 1,000.00 a month
    // becomes 500.00, so a closing cost of 500 × K gives a break-even period of K months.
    const QString balance =
        "Your new loan balance is $120,000.00 (excluding closing cost and points).\n";
    const QString sell =
        ".\nYou should refinance with this option if you plan to sell the house "
        "after the break even period.";
    struct Case {
        QString closingCost;
        QString newYears;
        QString advice;
    };
    const Case cases[] = {
        {"6000", "20", balance + "Your break even period is 1 year" + sell},
        {"15000", "20", balance + "Your break even period is 2 years and 6 months" + sell},
        {"3500", "20", balance + "Your break even period is 7 months" + sell},
        {"0", "20", balance + "You should definitely refinance with this option."},
        {"0", "10",
         balance + "Your new monthly payment will be even more than your old monthly payment.\n"
                   "You should not refinance with this option"},
    };
    for (const Case& c : cases) {
        const QString advice = Advise({{F::OriginalAmount, "120000"},
                                       {F::Years, "10"},
                                       {F::NewYears, c.newYears},
                                       {F::ClosingCost, c.closingCost}});
        EXPECT_EQ(c.advice, advice);
        const brellow::RefinanceInputs inputs{.originalAmount = 120000,
                                              .years = 10,
                                              .newYears = c.newYears.toUInt(),
                                              .closingCost = c.closingCost.toDouble()};
        EXPECT_EQ(brellow::AdviseRefinance(inputs).advice, advice.toStdString());
    }
    // The money fields read amounts as the program shows them.
    EXPECT_EQ(cases[1].advice, Advise({{F::OriginalAmount, "$120,000.00"},
                                       {F::Years, "10"},
                                       {F::NewYears, "20"},
                                       {F::ClosingCost, "$15,000"}}));
}

}  // namespace
