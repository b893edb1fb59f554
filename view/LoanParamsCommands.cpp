#include "view/LoanParamsCommands.h"

#include "engine/CTamsicDoc.h"
#include "engine/LoanTerms.h"
#include "view/CLoanParamsDlg.h"
#include "view/LoanDocument.h"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace {

using brellow::CTamsicDoc;
using brellow::LoanTerms;

// The terms as the history sees them: each frequency code through its name and back,
// so a code without a name is recorded as Monthly.
LoanTerms ByName(LoanTerms terms) {
    terms.paymentFrequency =
        brellow::PaymentFrequencyFromName(brellow::PaymentFrequencyName(terms.paymentFrequency));
    terms.compoundFrequency =
        brellow::CompoundFrequencyFromName(brellow::CompoundFrequencyName(terms.compoundFrequency));
    return terms;
}

// Whether the dialog, opened on `before`, now holds other terms. Frequencies compare
// as the names shown and typed ("weekly" is a change from "Monthly" though it stores
// Monthly too), and the payoff period counts only while the balloon is on: with the
// box clear its field is disabled.
bool Changed(const LoanTerms& before, const CLoanParamsDlg& dialog) {
    const LoanTerms after = dialog.Terms();
    LoanTerms unchanged = ByName(before);
    if (!after.balloon) unchanged.balloonPeriod = after.balloonPeriod;
    return after != unchanged ||
           dialog.m_strPaymentPeriod.toStdString() !=
               brellow::PaymentFrequencyName(before.paymentFrequency) ||
           dialog.m_strCompoundPeriod.toStdString() !=
               brellow::CompoundFrequencyName(before.compoundFrequency);
}

using SaveTerms = void (CTamsicDoc::*)(double, double, int, const brellow::OleDateTime&, int, int,
                                       bool, int, double) noexcept;

// One entry of the history: whether it may be used, how it becomes the current terms
// and how terms are written into it.
struct HistoryEntry {
    bool CTamsicDoc::*available;
    void (CTamsicDoc::*restore)() noexcept;
    SaveTerms save;
};

constexpr HistoryEntry kUndoEntry{&CTamsicDoc::m_bUndoAvailable, &CTamsicDoc::RestoreUndoTerms,
                                  &CTamsicDoc::SaveUndoTerms};
constexpr HistoryEntry kRedoEntry{&CTamsicDoc::m_bRedoAvailable, &CTamsicDoc::RestoreRedoTerms,
                                  &CTamsicDoc::SaveRedoTerms};

void Record(CTamsicDoc& doc, const HistoryEntry& entry, const LoanTerms& terms) {
    const LoanTerms t = ByName(terms);
    (doc.*entry.save)(t.loanAmount, t.interestRate, t.numPeriods, t.firstPayment,
                      t.paymentFrequency, t.compoundFrequency, t.balloon, t.balloonPeriod,
                      t.additionalPayment);
}

// Undo and Redo mirror each other: the entry taken becomes the current terms and the
// current terms are written to the other entry. Neither touches the modified flag.
void TakeHistoryEntry(LoanDocument& document, const HistoryEntry& taken,
                      const HistoryEntry& written) {
    CTamsicDoc& doc = document.doc();
    // An entry never written is all zeros, not a loan.
    if (!(doc.*taken.available)) return;
    const LoanTerms current = doc.GetTerms();
    (doc.*taken.restore)();
    doc.ComputePayment();
    doc.*written.available = true;
    Record(doc, written, current);
    doc.*taken.available = false;
    document.notifyTermsChanged();
}

// Runs the dialog on the terms; the terms entered when it ends with OK and anything
// changed. The dialog lives on the heap because its parent may be closed while it runs.
std::optional<LoanTerms> AskChangedTerms(const LoanTerms& terms, QWidget* parent,
                                         const HelpRequest& help) {
    QPointer<CLoanParamsDlg> dialog = new CLoanParamsDlg(parent, help);
    dialog->SetTerms(terms);
    const int result = dialog->exec();
    if (!dialog) return std::nullopt;
    std::optional<LoanTerms> entered;
    if (result == QDialog::Accepted && Changed(terms, *dialog)) entered = dialog->Terms();
    delete dialog;
    return entered;
}

// Makes `after` the document's terms, with `before` as the step Undo takes back; a new
// change ends what Redo could bring back.
void ApplyTerms(LoanDocument& document, const LoanTerms& before, const LoanTerms& after) {
    CTamsicDoc& doc = document.doc();
    doc.SetTerms(after);
    doc.ComputePayment();

    doc.m_bUndoAvailable = true;
    Record(doc, kUndoEntry, before);
    doc.m_bRedoAvailable = false;
    document.setModified(true);
    document.notifyTermsChanged();
}

}  // namespace

bool ChangeLoanParameters(LoanDocument& document, QWidget* parent, const HelpRequest& help) {
    const QPointer<LoanDocument> alive = &document;
    const LoanTerms before = document.doc().GetTerms();
    const std::optional<LoanTerms> after = AskChangedTerms(before, parent, help);
    if (!after || !alive) return false;
    ApplyTerms(document, before, *after);
    return true;
}

bool ChangeAdditionalPayment(LoanDocument& document, double payment) {
    const LoanTerms before = document.doc().GetTerms();
    if (payment == before.additionalPayment) return false;
    LoanTerms after = before;
    after.additionalPayment = payment;
    ApplyTerms(document, before, after);
    return true;
}

void UndoLoanParameters(LoanDocument& document) {
    TakeHistoryEntry(document, kUndoEntry, kRedoEntry);
}

void RedoLoanParameters(LoanDocument& document) {
    TakeHistoryEntry(document, kRedoEntry, kUndoEntry);
}

bool CanUndoLoanParameters(const LoanDocument& document) {
    return document.doc().IsModified() && document.doc().m_bUndoAvailable;
}

bool CanRedoLoanParameters(const LoanDocument& document) {
    return document.doc().IsModified() && document.doc().m_bRedoAvailable;
}
