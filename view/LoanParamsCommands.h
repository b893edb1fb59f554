#pragma once

// The commands that change a document's terms: Change Loan Parameters, a new additional
// payment, Undo, Redo.
// Each one stores the new terms, recomputes the payment, records the history step,
// marks the document and calls LoanDocument::notifyTermsChanged(), which lays out and
// repaints every view of the document.

#include "view/HelpRequest.h"

class LoanDocument;
class QWidget;

// Opens the "Loan Parameters" dialog on the document's terms; on OK applies them when
// anything changed. Returns true when the terms changed. The dialog's "Help" goes to
// `help`.
bool ChangeLoanParameters(LoanDocument& document, QWidget* parent, const HelpRequest& help = {});
// Stores `payment` as the document's additional payment per period, recorded for Undo
// like a change made in the dialog. The terms with it must pass CheckTerms. Returns false,
// changing nothing, when it is the payment already stored.
bool ChangeAdditionalPayment(LoanDocument& document, double payment);
void UndoLoanParameters(LoanDocument& document);
void RedoLoanParameters(LoanDocument& document);
// Enabled states of Undo and Redo: the document is modified and the entry is available.
bool CanUndoLoanParameters(const LoanDocument& document);
bool CanRedoLoanParameters(const LoanDocument& document);
