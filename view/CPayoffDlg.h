#pragma once

// "Payoff Summary": when a loan is paid off and what it costs and, when it has an
// additional payment per period, the same without it and what the additional payment
// saves. The field holds the additional payment, starting with the document's; the
// figures follow it as it is typed, and a value that does not read or that the terms
// check refuses shows the reason instead of figures. "Apply" stores the value in the
// document as a change of its terms that Undo takes back.
//   100,000.00 at 6 % over 360 months with 100.00 extra a month: 252 payments, the last
//   on 12/01/2023; without the extra 360 payments; 108 payments, 9 years 0 months and
//   $39,900.46 of interest saved.

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>

#include <optional>

class LoanDocument;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brellow {
struct PayoffFigures;
}

class CPayoffDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPayoffDlg(LoanDocument& document, QWidget* parent = nullptr);

private:
    // The labels of one column of figures.
    struct FigureLabels {
        QLabel* payments;
        QLabel* lastPayment;
        QLabel* totalPaid;
        QLabel* totalInterest;
    };

    static FigureLabels AddFigureColumn(QGridLayout* grid, int column, const char* suffix);
    void Recompute();
    void OnApply();
    static void ShowFigures(const FigureLabels& labels, const brellow::PayoffFigures& figures);

    QPointer<LoanDocument> m_document;
    QLineEdit* m_edAdditionalPayment;
    QWidget* m_figures;
    QLabel* m_stNote;
    QPushButton* m_btnApply;
    FigureLabels m_with{};
    FigureLabels m_without{};
    QLabel* m_stPaymentsSaved = nullptr;
    QLabel* m_stTimeSaved = nullptr;
    QLabel* m_stInterestSaved = nullptr;
    // Shown only when there is an additional payment to compare with.
    QList<QWidget*> m_comparison;
    // The value in the field, when it reads and the terms with it are accepted.
    std::optional<double> m_trial;
};

// Runs the dialog on the document, modal over `parent`.
void ShowPayoffSummary(LoanDocument& document, QWidget* parent);
