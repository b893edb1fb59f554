#include "view/CPayoffDlg.h"

#include "tests/app/GuiTestSupport.h"
#include "tests/support/TestLoans.h"
#include "view/LoanDocument.h"
#include "view/LoanParamsCommands.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace {

using brellow::test::Loan;

// The dialog as a person sees it: the texts of its visible figures by name.
struct Dialog {
    CPayoffDlg* dlg;

    std::map<std::string, std::string> figures() const {
        std::map<std::string, std::string> shown;
        for (const QLabel* label : dlg->findChildren<QLabel*>()) {
            if (!label->objectName().isEmpty() && label->isVisible())
                shown[label->objectName().toStdString()] = label->text().toStdString();
        }
        return shown;
    }
    QLineEdit* field() const { return dlg->findChild<QLineEdit*>("additionalPayment"); }
    QPushButton* apply() const { return dlg->findChild<QPushButton*>("apply"); }
    void type(const QString& text) const {
        field()->selectAll();
        QTest::keyClick(field(), Qt::Key_Delete);
        QTest::keyClicks(field(), text);
    }
};

// Opens the dialog on the document and runs `script` in it, then closes it.
void Drive(LoanDocument& document, const std::function<void(const Dialog&)>& script) {
    bool ran = false;
    gui_test::WhenModal<CPayoffDlg>([&](CPayoffDlg* dlg) {
        ran = true;
        script(Dialog{dlg});
        dlg->reject();
    });
    ShowPayoffSummary(document, nullptr);
    EXPECT_TRUE(ran) << "the dialog never came up";
}

using Figures = std::map<std::string, std::string>;

// 100,000.00 at 6 % over 360 months from January 2003.
const Figures kWithout = {{"paymentsWithout", "360"},
                          {"lastPaymentWithout", "12/01/2032"},
                          {"totalPaidWithout", "$215,838.53"},
                          {"totalInterestWithout", "$115,838.53"}};

Figures With(Figures figures, const Figures& more) {
    figures.insert(more.begin(), more.end());
    return figures;
}

TEST(PayoffDialog, ShowsTheFiguresAndFollowsTyping) {
    LoanDocument document(Loan({.extra = 100}));
    Drive(document, [](const Dialog& d) {
        EXPECT_EQ("Payoff Summary", d.dlg->windowTitle());
        EXPECT_EQ("100", d.field()->text());
        EXPECT_EQ(With(kWithout, {{"payments", "252"},
                                  {"lastPayment", "12/01/2023"},
                                  {"totalPaid", "$175,938.07"},
                                  {"totalInterest", "$75,938.07"},
                                  {"paymentsSaved", "108"},
                                  {"timeSaved", "9 years 0 months"},
                                  {"interestSaved", "$39,900.46"}}),
                  d.figures());
        EXPECT_FALSE(d.apply()->isEnabled());

        const struct {
            const char* typed;
            Figures figures;
        } cases[] = {
            // No additional payment: the loan's own figures only.
            {"0",
             {{"payments", "360"},
              {"lastPayment", "12/01/2032"},
              {"totalPaid", "$215,838.53"},
              {"totalInterest", "$115,838.53"}}},
            // Blanks around the amount are allowed, and the form the program shows;
            // n = -ln(1 - 500 / 1599.55) / ln(1.005) = 75.2.
            {" $1,000.00 ", With(kWithout, {{"payments", "76"},
                                            {"lastPayment", "04/01/2009"},
                                            {"totalPaid", "$120,209.13"},
                                            {"totalInterest", "$20,209.13"},
                                            {"paymentsSaved", "284"},
                                            {"timeSaved", "23 years 8 months"},
                                            {"interestSaved", "$95,629.40"}})},
            // Paying less each period leaves more for the last payment: interest is lost.
            {"-1", With(kWithout, {{"payments", "360"},
                                   {"lastPayment", "12/01/2032"},
                                   {"totalPaid", "$216,483.04"},
                                   {"totalInterest", "$116,483.04"},
                                   {"paymentsSaved", "0"},
                                   {"timeSaved", "0 years 0 months"},
                                   {"interestSaved", "$-644.52"}})},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.typed);
            d.type(QString::fromLatin1(c.typed));
            EXPECT_EQ(c.figures, d.figures());
            EXPECT_TRUE(d.apply()->isEnabled());
        }
    });
}

// Without the 1,000.00 extra a month the balance would grow beyond the cent limit: the
// loan's own figures stay, and the reason stands in place of the others.
TEST(PayoffDialog, FiguresWithoutBeyondTheCentLimitGiveWayToTheReason) {
    LoanDocument document(Loan({.periods = 1000, .rate = 100, .extra = 1000}));
    Drive(document, [](const Dialog& d) {
        EXPECT_EQ((Figures{{"payments", "28"},
                           {"lastPayment", "04/01/2005"},
                           {"totalPaid", "$260,478.73"},
                           {"totalInterest", "$160,478.73"},
                           {"note",
                            "Without the additional payment the schedule's amounts would exceed "
                            "what can be shown to the cent."}}),
                  d.figures());
    });
}

TEST(PayoffDialog, ApplyIsUndoneByUndo) {
    LoanDocument document(Loan({.extra = 100}));
    Drive(document, [&](const Dialog& d) {
        d.type("250.5");
        d.apply()->click();
        EXPECT_EQ(250.5, document.doc().GetAdditionalPayment());
        EXPECT_FALSE(d.apply()->isEnabled());
        EXPECT_EQ("250.5", d.field()->text().toStdString());
    });
    EXPECT_TRUE(document.isModified());
    ASSERT_TRUE(CanUndoLoanParameters(document));
    UndoLoanParameters(document);
    EXPECT_EQ(100.0, document.doc().GetAdditionalPayment());
    RedoLoanParameters(document);
    EXPECT_EQ(250.5, document.doc().GetAdditionalPayment());
}

TEST(PayoffDialog, AValueThatCannotBeUsedShowsANoteAndCannotBeApplied) {
    LoanDocument document(Loan({.extra = 100}));
    const struct {
        const char* typed;
        const char* note;
    } cases[] = {
        {"", "Please enter a number."},
        {"1,00", "Please enter a number."},
        {"abc", "Please enter a number."},
        {"1e12",
         "Please enter an additional payment between -999,999,999,999.99 and "
         "999,999,999,999.99."},
        // Accepted alone, but 360 such payments are beyond what the schedule can hold.
        {"-900000000000",
         "With these terms the schedule's amounts would exceed what can be shown to the cent. "
         "Please enter fewer periods, a lower rate or a smaller amount."},
    };
    Drive(document, [&](const Dialog& d) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.typed);
            d.type(QString::fromLatin1(c.typed));
            EXPECT_EQ((Figures{{"note", c.note}}), d.figures());
            EXPECT_FALSE(d.apply()->isEnabled());
            QTest::keyClick(d.field(), Qt::Key_Return);
        }
    });
    EXPECT_EQ(100.0, document.doc().GetAdditionalPayment());
    EXPECT_FALSE(document.isModified());
}

}  // namespace
