#include "app/HelpWindow.h"
#include "engine/Cents.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/support/MoneyTexts.h"
#include "tests/support/TestLoans.h"
#include "view/CLoanParamsDlg.h"
#include "view/CTamsicView.h"
#include "view/DisplaySettings.h"
#include "view/LoanDocument.h"
#include "view/LoanParamsCommands.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

using brellow::CTamsicDoc;
using brellow::OleDateTime;

using brellow::test::Loan;

// The loans below are 100,000.00 at 6 % over 360 months, first payment 04/01/2003.
const OleDateTime kApril2003 = OleDateTime::FromDate(2003, 4, 1);

// The dialog as a person sees it, found by the names of its fields.
struct Dialog {
    CLoanParamsDlg* dlg;

    QLineEdit* edit(const char* name) const { return dlg->findChild<QLineEdit*>(name); }
    QComboBox* combo(const char* name) const { return dlg->findChild<QComboBox*>(name); }
    QString text(const char* name) const {
        if (auto* e = edit(name)) return e->text();
        return combo(name)->currentText();
    }
    void type(const char* name, const QString& text) const {
        QLineEdit* e = edit(name) ? edit(name) : combo(name)->lineEdit();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
    void press(const QString& caption) const {
        for (auto* button : dlg->findChildren<QPushButton*>())
            if (button->text() == caption) button->click();
    }
    // Presses OK and returns "caption|text" of the message box it raises, if any.
    QString okWithMessage() const {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->windowTitle() + "|" + box->text();
                box->accept();
            }
        });
        press("OK");
        return shown;
    }
};

// Runs `command` with `script` driving the parameters dialog it opens; a dialog the
// script leaves open is cancelled.
void Drive(const std::function<void(const Dialog&)>& script, const std::function<void()>& command) {
    bool ran = false;
    gui_test::WhenModal<CLoanParamsDlg>([&](CLoanParamsDlg* dlg) {
        ran = true;
        script(Dialog{dlg});
        if (dlg->isVisible()) dlg->reject();
    });
    command();
    EXPECT_TRUE(ran) << "the dialog never came up";
}

bool Change(LoanDocument& document, const std::function<void(const Dialog&)>& script) {
    bool changed = false;
    Drive(script, [&] { changed = ChangeLoanParameters(document, nullptr, ShowHelp); });
    return changed;
}

void PressOk(const Dialog& d) {
    d.press("OK");
}

TEST(LoanParamsDialog, ShowsTheDocumentWhateverTheLocaleAndOkWithoutEditsChangesNothing) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    LoanDocument document(Loan({.rate = 7.5, .first = kApril2003, .compound = 8}));
    QSignalSpy termsChanged(&document, &LoanDocument::termsChanged);
    EXPECT_FALSE(Change(document, [](const Dialog& d) {
        EXPECT_EQ("Loan Parameters", d.dlg->windowTitle());
        EXPECT_EQ("100000", d.text("amount"));
        EXPECT_EQ("7.5", d.text("rate"));
        EXPECT_EQ("04/01/2003", d.text("firstDate"));
        EXPECT_EQ("Monthly", d.text("paymentPeriod"));
        EXPECT_EQ("Continuously", d.text("compoundPeriod"));
        EXPECT_EQ("Total &Periods (months):", d.dlg->m_stTotalPeriods->text());
        EXPECT_FALSE(d.edit("payoffPeriod")->isEnabled());
        QStringList walked;
        for (int i = 0; i < 9; ++i) {
            walked << d.dlg->focusWidget()->objectName();
            QTest::keyClick(d.dlg->focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(QStringList({"amount", "periods", "rate", "firstDate", "paymentPeriod",
                               "compoundPeriod", "additionalPayment", "balloon", "ok"}),
                  walked);
        d.press("Help");
        const auto* help = d.dlg->findChild<HelpWindow*>();
        EXPECT_TRUE(help && help->isVisible());
        PressOk(d);
    }));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(8, document.doc().GetCompoundFrequency());
    EXPECT_FALSE(document.doc().IsModified());
    EXPECT_FALSE(document.doc().m_bUndoAvailable);
    EXPECT_EQ(0, termsChanged.count());
}

TEST(LoanParamsDialog, UntouchedFieldsReadBackAsTheValuesTheyShow) {
    // A document made on the 1st pays first on that day at the current time, and
    // 1,234.10 is stored as 1234.1000000000001: the field shows neither difference.
    const CTamsicDoc loan = Loan({.amount = 1234.10,
                                  .periods = 12,
                                  .first = OleDateTime::FromCivil({2024, 5, 1, 14, 30, 0})});
    LoanDocument document(loan);
    EXPECT_FALSE(Change(document, PressOk));
    EXPECT_FALSE(document.doc().IsModified());
    EXPECT_EQ(loan.GetFirstPaymentDate(), document.doc().GetFirstPaymentDate());
}

TEST(LoanParamsDialog, TheLabelFollowsTheChosenPaymentPeriodNotTyping) {
    LoanDocument document(Loan({.first = kApril2003}));
    Change(document, [](const Dialog& d) {
        QTest::keyClick(d.combo("paymentPeriod"), Qt::Key_Up);
        EXPECT_EQ("Total &Periods (biweeks):", d.dlg->m_stTotalPeriods->text());
        d.type("paymentPeriod", "Annually");
        EXPECT_EQ("Total &Periods (biweeks):", d.dlg->m_stTotalPeriods->text());
    });
}

TEST(LoanParamsDialog, EachFieldIsNamedByItsLabelWhoseLetterFocusesIt) {
    CLoanParamsDlg dlg;
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    dlg.findChild<QCheckBox*>("balloon")->click();  // enables the payoff field
    const struct {
        const char* field;
        const char* name;
        Qt::Key letter;
    } fields[] = {
        {"amount", "Amount of Loan:", Qt::Key_A},
        {"periods", "Total Periods (weeks):", Qt::Key_P},  // the list opens on Weekly
        {"rate", "Annual Interest Rate: (%)", Qt::Key_R},
        {"firstDate", "First Payment Date:", Qt::Key_F},
        {"paymentPeriod", "Payment Period:", Qt::Key_Y},
        {"compoundPeriod", "Compounding Period:", Qt::Key_C},
        {"additionalPayment", "Additional Payment Per Period (Optional):", Qt::Key_D},
        {"payoffPeriod", "Payoff at Payment #:", Qt::Key_O},
    };
    for (const auto& f : fields) {
        auto* const field = dlg.findChild<QWidget*>(f.field);
        EXPECT_EQ(f.name,
                  QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name).toStdString())
            << f.field;
        QTest::keyClick(&dlg, f.letter, Qt::AltModifier);
        EXPECT_EQ(field, QApplication::focusWidget()) << f.field;
    }
    QTest::keyClick(&dlg, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ("balloon", QApplication::focusWidget()->objectName());
}

TEST(LoanParamsDialog, RefusesAFieldWithItsMessageAndSelectsIt) {
    const char* const range = "Please enter an integer between 0 and 1000000.";
    const char* const notDate =
        "Please enter a date and/or time.\nEnter the date as MM/DD/YYYY, for example 02/01/2027.";
    const struct {
        const char* field;
        const char* text;
        const char* message;
        bool balloon = false;
        const char* focus = nullptr;  // when not the field typed into
    } cases[] = {
        {"amount", "1,00", "Please enter a number."},
        {"periods", "12x", "Please enter an integer."},
        {"periods", "1000001", range},
        {"periods", "-1", range},
        {"rate", "", "Please enter a number."},
        {"firstDate", "", notDate},
        {"firstDate", "02/30/2003", notDate},
        {"payoffPeriod", "1.5", "Please enter an integer.", true},
        {"additionalPayment", "nan", "Please enter a number."},
        {"amount", "1e12",
         "Please enter a loan amount between -999,999,999,999.99 and "
         "999,999,999,999.99."},
        {"payoffPeriod", "361", "Please enter an integer between 1 and 360.", true},
        {"additionalPayment", "-1e12",
         "Please enter an additional payment between -999,999,999,999.99 and "
         "999,999,999,999.99."},
        {"firstDate", "01/01/03",
         "Please enter a date and/or time.\nThe year needs four digits (01/01/2003)."},
        {"firstDate", "2/30/03", notDate},
        {"firstDate", "2027-02-30", notDate},
        {"periods", "1000000",
         "The last payment would fall after 12/31/9999. Please enter "
         "an earlier first payment date or fewer periods.",
         false, "firstDate"},
    };
    for (const auto& c : cases) {
        LoanDocument document(Loan({.first = kApril2003}));
        EXPECT_FALSE(Change(document, [&](const Dialog& d) {
            if (c.balloon) QTest::keyClick(d.dlg->findChild<QWidget*>("balloon"), Qt::Key_Space);
            d.type(c.field, c.text);
            EXPECT_EQ(QString("Brellow|") + c.message, d.okWithMessage()) << c.field << c.text;
            EXPECT_TRUE(d.dlg->isVisible());
            QLineEdit* failing = d.edit(c.focus ? c.focus : c.field);
            EXPECT_EQ(failing, d.dlg->focusWidget()) << c.field << c.text;
            EXPECT_EQ(failing->text(), failing->selectedText());
        }));
        EXPECT_FALSE(document.doc().IsModified());
    }
}

TEST(LoanParamsDialog, ReadsAmountsAsTheProgramShowsThemAndIsoDates) {
    for (const auto& [text, value] : brellow::test::kMoneyTexts) {
        LoanDocument document(Loan({.first = kApril2003}));
        Change(document, [&](const Dialog& d) {
            d.type("amount", text);
            if (value) {
                PressOk(d);
                EXPECT_FALSE(d.dlg->isVisible()) << text;
            } else {
                EXPECT_EQ("Brellow|Please enter a number.", d.okWithMessage()) << text;
            }
        });
        if (value) {
            EXPECT_EQ(brellow::RoundToCents(*value), document.doc().GetLoanAmount()) << text;
        }
    }
    LoanDocument document(Loan({.first = kApril2003}));
    EXPECT_TRUE(Change(document, [](const Dialog& d) {
        d.type("additionalPayment", "-$1,000.5");
        d.type("firstDate", "2027-02-01");
        PressOk(d);
    }));
    EXPECT_EQ(-1000.5, document.doc().GetAdditionalPayment());
    EXPECT_EQ(OleDateTime::FromDate(2027, 2, 1), document.doc().GetFirstPaymentDate());
}

TEST(LoanParamsDialog, ChecksEachFieldWholeInTabOrder) {
    const char* const amountRange =
        "Please enter a loan amount between -999,999,999,999.99 and 999,999,999,999.99.";
    const char* const additionalRange =
        "Please enter an additional payment between -999,999,999,999.99 and "
        "999,999,999,999.99.";
    const struct {
        std::vector<std::pair<const char*, const char*>> typed;  // in this order
        const char* message;
        const char* focus;
    } cases[] = {
        {{{"rate", "x"}, {"amount", "y"}}, "Please enter a number.", "amount"},
        {{{"periods", "12.5"}, {"amount", "1e12"}}, amountRange, "amount"},
        // Rounded to the cent as stored, the amount reaches 10^12.
        {{{"rate", "x"}, {"amount", "999999999999.996"}}, amountRange, "amount"},
        // The payoff is read before the additional payment, whose range comes before the
        // checks of the terms together (the payoff beyond the periods).
        {{{"payoffPeriod", "x"}, {"additionalPayment", "1e13"}},
         "Please enter an integer.",
         "payoffPeriod"},
        {{{"payoffPeriod", "400"}, {"additionalPayment", "1e13"}},
         additionalRange,
         "additionalPayment"},
    };
    for (const auto& c : cases) {
        LoanDocument document(Loan({.first = kApril2003}));
        Change(document, [&](const Dialog& d) {
            QTest::keyClick(d.dlg->findChild<QWidget*>("balloon"), Qt::Key_Space);
            for (const auto& [field, text] : c.typed) d.type(field, text);
            EXPECT_EQ(std::string("Brellow|") + c.message, d.okWithMessage().toStdString());
            EXPECT_EQ(d.edit(c.focus), d.dlg->focusWidget()) << c.message;
        });
    }
}

TEST(LoanParamsCommands, AppliesAChangeAndRecordsTheOldTermsForUndo) {
    LoanDocument document(Loan({.first = kApril2003}));
    const brellow::LoanTerms before = document.doc().GetTerms();
    QSignalSpy termsChanged(&document, &LoanDocument::termsChanged);
    EXPECT_TRUE(Change(document, [](const Dialog& d) {
        d.type("amount", "150000.125");
        d.type("rate", "7");
        d.type("firstDate", "2004-02-29");
        d.type("compoundPeriod", "Continuous");
        PressOk(d);
    }));
    const CTamsicDoc& doc = document.doc();
    EXPECT_EQ(150000.13, doc.GetLoanAmount());
    EXPECT_EQ(OleDateTime::FromDate(2004, 2, 29), doc.GetFirstPaymentDate());
    EXPECT_EQ(8, doc.GetCompoundFrequency());
    EXPECT_EQ(before, doc.GetUndoTerms());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(CanUndoLoanParameters(document));
    EXPECT_FALSE(CanRedoLoanParameters(document));
    EXPECT_EQ(1, termsChanged.count());
}

TEST(LoanParamsCommands, DecidesWhatCountsAsAChange) {
    const auto tick = [](const Dialog& d) {
        QTest::keyClick(d.dlg->findChild<QWidget*>("balloon"), Qt::Key_Space);
    };
    const struct {
        const char* what;
        std::function<void(const Dialog&)> edit;
        bool changed;
        int balloonPeriod;
        int compound;
    } cases[] = {
        {"payoff while unticked", [](const Dialog& d) { d.edit("payoffPeriod")->setText("5"); },
         false, 0, 3},
        {"ticking the balloon",
         [&](const Dialog& d) {
             tick(d);
             d.type("payoffPeriod", "5");
         },
         true, 5, 3},
        {"unreadable payoff behind a cleared box",
         [&](const Dialog& d) {
             tick(d);
             d.type("payoffPeriod", "x");
             tick(d);
             d.type("rate", "5");
         },
         true, 0, 3},
        {"lower-case weekly",
         [](const Dialog& d) {
             d.type("paymentPeriod", "weekly");
             QTest::keyClick(d.combo("paymentPeriod"), Qt::Key_Return);
             EXPECT_FALSE(d.dlg->isVisible()) << "Return did not press OK";
         },
         true, 0, 3},
        {"Continuously", [](const Dialog& d) { d.combo("compoundPeriod")->setCurrentIndex(8); },
         true, 0, 8},
        {"cancel",
         [](const Dialog& d) {
             d.type("rate", "9");
             d.press("Cancel");
         },
         false, 0, 3},
    };
    for (const auto& c : cases) {
        LoanDocument document(Loan({.first = kApril2003}));
        EXPECT_EQ(c.changed, Change(document,
                                    [&](const Dialog& d) {
                                        c.edit(d);
                                        if (d.dlg->isVisible()) PressOk(d);
                                    }))
            << c.what;
        const CTamsicDoc& doc = document.doc();
        EXPECT_EQ(c.changed, doc.IsModified()) << c.what;
        EXPECT_EQ(c.changed, doc.m_bUndoAvailable) << c.what;
        EXPECT_EQ(2, doc.GetPaymentFrequency()) << c.what;
        EXPECT_EQ(c.balloonPeriod, doc.GetBalloonPeriod()) << c.what;
        EXPECT_EQ(c.compound, doc.GetCompoundFrequency()) << c.what;
    }
}

TEST(LoanParamsCommands, UndoAndRedoStepBetweenTheLastTwoTerms) {
    LoanDocument document(Loan({.first = kApril2003}));
    const double paymentAt6 = document.doc().GetPayment();
    QSignalSpy termsChanged(&document, &LoanDocument::termsChanged);
    Change(document, [](const Dialog& d) {
        d.type("rate", "7");
        PressOk(d);
    });
    const double paymentAt7 = document.doc().GetPayment();

    UndoLoanParameters(document);
    EXPECT_EQ(6, document.doc().GetInterestRate());
    EXPECT_EQ(paymentAt6, document.doc().GetPayment());
    EXPECT_FALSE(CanUndoLoanParameters(document));
    EXPECT_TRUE(CanRedoLoanParameters(document));
    EXPECT_TRUE(document.doc().IsModified());
    UndoLoanParameters(document);  // not available: no effect
    EXPECT_EQ(6, document.doc().GetInterestRate());

    RedoLoanParameters(document);
    EXPECT_EQ(7, document.doc().GetInterestRate());
    EXPECT_EQ(paymentAt7, document.doc().GetPayment());
    EXPECT_TRUE(CanUndoLoanParameters(document));
    UndoLoanParameters(document);
    EXPECT_EQ(6, document.doc().GetInterestRate());
    EXPECT_EQ(4, termsChanged.count());

    Change(document, [](const Dialog& d) {
        d.type("rate", "8");
        PressOk(d);
    });
    EXPECT_FALSE(CanRedoLoanParameters(document));
    document.setModified(false);  // saved
    EXPECT_FALSE(CanUndoLoanParameters(document));
    EXPECT_TRUE(document.doc().m_bUndoAvailable);
}

TEST(LoanParamsCommands, EveryViewOfTheDocumentFollowsChangeUndoAndRedo) {
    LoanDocument document(Loan({.first = kApril2003}));
    const DisplaySettings settings;
    CTamsicView first(document, settings);
    CTamsicView second(document, settings);
    first.OnInitialUpdate();
    second.OnInitialUpdate();
    // 360 months from April 2003 span 31 years: 3 rows of tabs, table from 195.
    const int longTable = 195 + 20 * 362 + 2;
    // 12 months span 2003 and 2004: one row of tabs, table from 145.
    const int shortTable = 145 + 20 * 14 + 2;
    const auto heights = [&] {
        return std::pair(first.ScrollSize().height(), second.ScrollSize().height());
    };
    ASSERT_EQ(std::pair(longTable, longTable), heights());

    Drive(
        [](const Dialog& d) {
            d.type("periods", "12");
            PressOk(d);
        },
        [&] { first.OnChangeLoanParameters(); });
    EXPECT_EQ(std::pair(shortTable, shortTable), heights());
    second.OnEditUndo();
    EXPECT_EQ(std::pair(longTable, longTable), heights());
    first.OnEditRedo();
    EXPECT_EQ(std::pair(shortTable, shortTable), heights());
}

TEST(LoanParamsCommands, RecordsACodeWithoutANameAsMonthly) {
    LoanDocument document(Loan({.first = kApril2003, .payment = 9}));
    EXPECT_FALSE(Change(document, PressOk));
    Change(document, [](const Dialog& d) {
        d.type("rate", "7");
        PressOk(d);
    });
    EXPECT_EQ(2, document.doc().GetUndoTerms().paymentFrequency);
}

}  // namespace
