#include "view/LoanParamsCommands.h"

#include "engine/LoanTerms.h"
#include "view/CLoanParamsDlg.h"
#include "view/LoanDocument.h"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace {

// The terms as the history sees them: frequencies as names, so a code without a name
// is recorded as Monthly.
struct NamedTerms {
    double amount = 0.0;
    double rate = 0.0;
    int periods = 0;
    brellow::OleDateTime firstPayment;
    QString paymentName;
    QString compoundName;
    bool balloon = false;
    int balloonPeriod = 0;
    double additionalPayment = 0.0;
};

NamedTerms CurrentTerms(const brellow::CTamsicDoc& doc) {
    return {doc.GetLoanAmount(),
            doc.GetInterestRate(),
            doc.GetNumPeriods(),
            doc.GetFirstPaymentDate(),
            QString::fromStdString(brellow::PaymentFrequencyName(doc.GetPaymentFrequency())),
            QString::fromStdString(brellow::CompoundFrequencyName(doc.GetCompoundFrequency())),
            doc.GetBalloon(),
            doc.GetBalloonPeriod(),
            doc.GetAdditionalPayment()};
}

int PaymentCode(const NamedTerms& terms) {
    return brellow::PaymentFrequencyFromName(terms.paymentName.toStdString());
}

int CompoundCode(const NamedTerms& terms) {
    return brellow::CompoundFrequencyFromName(terms.compoundName.toStdString());
}

// The balloon period counts only while the balloon is on; with the box clear its field
// is disabled.
bool SameTerms(const NamedTerms& before, const NamedTerms& after) {
    return before.amount == after.amount && before.rate == after.rate &&
           before.periods == after.periods && before.firstPayment == after.firstPayment &&
           before.paymentName == after.paymentName && before.compoundName == after.compoundName &&
           before.balloon == after.balloon && before.additionalPayment == after.additionalPayment &&
           (!after.balloon || before.balloonPeriod == after.balloonPeriod);
}

using SaveTerms = void (brellow::CTamsicDoc::*)(double, double, int, const brellow::OleDateTime&,
                                                int, int, bool, int, double) noexcept;

void Record(brellow::CTamsicDoc& doc, SaveTerms save, const NamedTerms& t) {
    (doc.*save)(t.amount, t.rate, t.periods, t.firstPayment, PaymentCode(t), CompoundCode(t),
                t.balloon, t.balloonPeriod, t.additionalPayment);
}

// Undo and Redo mirror each other: the entry taken becomes the current terms and the
// current terms become the other entry. Neither touches the modified flag.
void StepHistory(LoanDocument& document, bool undo) {
    brellow::CTamsicDoc& doc = document.doc();
    bool& taken = undo ? doc.m_bUndoAvailable : doc.m_bRedoAvailable;
    bool& other = undo ? doc.m_bRedoAvailable : doc.m_bUndoAvailable;
    // An entry never written is all zeros, not a loan.
    if (!taken) return;
    const NamedTerms current = CurrentTerms(doc);
    if (undo) {
        doc.RestoreUndoTerms();
    } else {
        doc.RestoreRedoTerms();
    }
    doc.ComputePayment();
    other = true;
    Record(doc, undo ? &brellow::CTamsicDoc::SaveRedoTerms : &brellow::CTamsicDoc::SaveUndoTerms,
           current);
    taken = false;
    document.notifyTermsChanged();
}

// Runs the dialog on the terms; nullopt unless it ends with OK. The dialog lives on
// the heap because its parent may be closed while it runs.
std::optional<NamedTerms> AskTerms(const NamedTerms& terms, QWidget* parent) {
    QPointer<CLoanParamsDlg> dialog = new CLoanParamsDlg(parent);
    dialog->m_dAmount = terms.amount;
    dialog->m_dRate = terms.rate;
    dialog->m_nPeriods = terms.periods;
    dialog->m_dtFirstPayment = terms.firstPayment;
    dialog->m_strPaymentPeriod = terms.paymentName;
    dialog->m_strCompoundPeriod = terms.compoundName;
    dialog->m_bBalloon = terms.balloon;
    dialog->m_nPayoffPeriod = terms.balloonPeriod;
    dialog->m_dAdditionalPayment = terms.additionalPayment;
    const int result = dialog->exec();
    if (!dialog) return std::nullopt;
    std::optional<NamedTerms> entered;
    if (result == QDialog::Accepted) {
        entered = NamedTerms{dialog->m_dAmount,           dialog->m_dRate,
                             dialog->m_nPeriods,          dialog->m_dtFirstPayment,
                             dialog->m_strPaymentPeriod,  dialog->m_strCompoundPeriod,
                             dialog->m_bBalloon,          dialog->m_nPayoffPeriod,
                             dialog->m_dAdditionalPayment};
    }
    delete dialog;
    return entered;
}

}  // namespace

bool ChangeLoanParameters(LoanDocument& document, QWidget* parent) {
    const QPointer<LoanDocument> alive = &document;
    const NamedTerms before = CurrentTerms(document.doc());
    const std::optional<NamedTerms> after = AskTerms(before, parent);
    if (!after || !alive || SameTerms(before, *after)) return false;

    brellow::CTamsicDoc& doc = document.doc();
    doc.SetLoanAmount(after->amount);
    doc.SetInterestRate(after->rate);
    doc.SetNumPeriods(after->periods);
    doc.SetFirstPaymentDate(after->firstPayment);
    doc.SetPaymentFrequency(PaymentCode(*after));
    doc.SetCompoundFrequency(CompoundCode(*after));
    doc.SetBalloon(after->balloon);
    doc.SetBalloonPeriod(after->balloonPeriod);
    doc.SetAdditionalPayment(after->additionalPayment);
    doc.ComputePayment();

    doc.m_bUndoAvailable = true;
    Record(doc, &brellow::CTamsicDoc::SaveUndoTerms, before);
    doc.m_bRedoAvailable = false;
    document.setModified(true);
    document.notifyTermsChanged();
    return true;
}

void UndoLoanParameters(LoanDocument& document) {
    StepHistory(document, true);
}

void RedoLoanParameters(LoanDocument& document) {
    StepHistory(document, false);
}

bool CanUndoLoanParameters(const LoanDocument& document) {
    return document.doc().IsModified() && document.doc().m_bUndoAvailable;
}

bool CanRedoLoanParameters(const LoanDocument& document) {
    return document.doc().IsModified() && document.doc().m_bRedoAvailable;
}
