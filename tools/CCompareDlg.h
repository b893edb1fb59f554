#pragma once

// "Compare Open Loans": the open loans side by side, one column per document headed by
// its title, one row per figure, the cheapest marked (ComparisonWriters.h gives the
// texts). The window stays open beside the loans and follows them: a change of terms,
// an undo or redo and a new title show at once, and documents added or gone add or drop
// their column. "Copy" puts the table on the clipboard as tab-separated text.

#include <QDialog>
#include <QList>

class LoanDocument;
class QTableWidget;

class CCompareDlg : public QDialog {
    Q_OBJECT

public:
    explicit CCompareDlg(const QList<LoanDocument*>& documents, QWidget* parent = nullptr);

    // A document opened while the window is open joins as the last column.
    void AddDocument(LoanDocument* document);
    // The table's text as Copy puts it on the clipboard.
    QString TableText() const;

private:
    void Watch(LoanDocument* document);
    void Refresh();
    void OnCopy();

    QList<LoanDocument*> m_documents;  // each dropped when it is destroyed
    QTableWidget* m_table;
};
