#pragma once

// The commands that change a document's terms: Change Loan Parameters, Undo, Redo.
// Each one stores the new terms, recomputes the payment, records the history step,
// marks the document and calls LoanDocument::notifyTermsChanged(), which lays out and
// repaints every view of the document.

class LoanDocument;
class QWidget;

// Opens the "Loan Parameters" dialog on the document's terms; on OK applies them when
// anything changed. Returns true when the terms changed.
bool ChangeLoanParameters(LoanDocument& document, QWidget* parent);
void UndoLoanParameters(LoanDocument& document);
void RedoLoanParameters(LoanDocument& document);
// Enabled states of Undo and Redo: the document is modified and the entry is available.
bool CanUndoLoanParameters(const LoanDocument& document);
bool CanRedoLoanParameters(const LoanDocument& document);
