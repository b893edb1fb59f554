#include "view/CPayoffDlg.h"

#include "engine/CTamsicDoc.h"
#include "engine/NumberParse.h"
#include "engine/OleDateTime.h"
#include "engine/Payoff.h"
#include "engine/TermsCheck.h"
#include "output/AmountFormat.h"
#include "view/LoanDocument.h"
#include "view/LabelledField.h"
#include "view/LoanParamsCommands.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

namespace {

using brellow::CTamsicDoc;

// The loan with another additional payment: its figures, or why there are none.
struct Trial {
    double payment = 0.0;
    brellow::PayoffSummary payoff;
    QString problem;  // empty when the figures hold
};

Trial TryAdditionalPayment(const CTamsicDoc& doc, const std::string& text) {
    Trial trial;
    const auto payment = brellow::ParseMoney(text);
    if (!payment) {
        trial.problem = QStringLiteral("Please enter a number.");
        return trial;
    }
    trial.payment = *payment;
    // The payment per period does not depend on the additional payment, so the copy
    // keeps the one the windows show.
    CTamsicDoc loan = doc;
    loan.SetAdditionalPayment(*payment);
    auto problem = brellow::CheckAdditionalPayment(*payment);
    if (!problem) problem = brellow::CheckTerms(CTamsicDoc::StoredTerms(loan.GetTerms()));
    if (problem) {
        trial.problem = QString::fromStdString(problem->message);
        return trial;
    }
    trial.payoff = brellow::ComputePayoff(loan);
    return trial;
}

QString Amount(double value) {
    return QString::fromStdString(brellow::FormatAmount(value));
}

QString Count(int n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

// "9 years 0 months", "1 year 1 month".
QString YearsAndMonths(int years, int months) {
    return Count(years, "year", "years") + QLatin1Char(' ') + Count(months, "month", "months");
}

QLabel* MakeFigure(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

CPayoffDlg::CPayoffDlg(LoanDocument& document, QWidget* parent)
    : QDialog(parent),
      m_document(&document),
      m_edAdditionalPayment(new QLineEdit(this)),
      m_figures(new QWidget(this)),
      m_stNote(new QLabel(this)),
      m_btnApply(new QPushButton(QStringLiteral("Apply"), this)) {
    setWindowTitle(QStringLiteral("Payoff Summary"));

    m_edAdditionalPayment->setObjectName(QStringLiteral("additionalPayment"));
    m_edAdditionalPayment->setText(QString::number(document.doc().GetAdditionalPayment(), 'f',
                                                   QLocale::FloatingPointShortest));
    m_stNote->setObjectName(QStringLiteral("note"));
    m_stNote->setWordWrap(true);
    m_stNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_btnApply->setObjectName(QStringLiteral("apply"));
    m_btnApply->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setAutoDefault(false);

    auto* field = new QHBoxLayout;
    auto* fieldLabel = new QLabel(QStringLiteral("A&dditional Payment Per Period:"), this);
    LabelField(fieldLabel, m_edAdditionalPayment);
    field->addWidget(fieldLabel);
    field->addWidget(new QLabel(QStringLiteral("$"), this));
    field->addWidget(m_edAdditionalPayment, 1);

    auto* grid = new QGridLayout(m_figures);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(16);
    const auto rowLabel = [grid](const char* text, int row) {
        auto* label = new QLabel(QString::fromLatin1(text), grid->parentWidget());
        grid->addWidget(label, row, 0);
        return label;
    };
    rowLabel("Number of payments:", 1);
    rowLabel("Last payment:", 2);
    rowLabel("Total paid:", 3);
    rowLabel("Total interest:", 4);
    m_with = AddFigureColumn(grid, 1, "");
    m_without = AddFigureColumn(grid, 2, "Without");
    auto* withHeader = new QLabel(QStringLiteral("With additional payment"), m_figures);
    auto* withoutHeader = new QLabel(QStringLiteral("Without additional payment"), m_figures);
    grid->addWidget(withHeader, 0, 1, Qt::AlignRight);
    grid->addWidget(withoutHeader, 0, 2, Qt::AlignRight);
    m_stPaymentsSaved = MakeFigure(m_figures, QStringLiteral("paymentsSaved"));
    m_stTimeSaved = MakeFigure(m_figures, QStringLiteral("timeSaved"));
    m_stInterestSaved = MakeFigure(m_figures, QStringLiteral("interestSaved"));
    grid->setRowMinimumHeight(5, 8);
    m_comparison = {withHeader,
                    withoutHeader,
                    m_without.payments,
                    m_without.lastPayment,
                    m_without.totalPaid,
                    m_without.totalInterest,
                    rowLabel("Payments saved:", 6),
                    m_stPaymentsSaved,
                    rowLabel("Time saved:", 7),
                    m_stTimeSaved,
                    rowLabel("Interest saved:", 8),
                    m_stInterestSaved};
    grid->addWidget(m_stPaymentsSaved, 6, 1);
    grid->addWidget(m_stTimeSaved, 7, 1);
    grid->addWidget(m_stInterestSaved, 8, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnApply);
    buttons->addWidget(close);

    auto* top = new QVBoxLayout(this);
    top->addLayout(field);
    top->addWidget(m_figures);
    top->addWidget(m_stNote);
    top->addStretch();
    top->addLayout(buttons);

    connect(m_edAdditionalPayment, &QLineEdit::textChanged, this, &CPayoffDlg::Recompute);
    connect(m_btnApply, &QPushButton::clicked, this, &CPayoffDlg::OnApply);
    connect(close, &QPushButton::clicked, this, &CPayoffDlg::reject);
    connect(&document, &LoanDocument::termsChanged, this, &CPayoffDlg::Recompute);
    connect(&document, &QObject::destroyed, this, &CPayoffDlg::reject);
    Recompute();
}

CPayoffDlg::FigureLabels CPayoffDlg::AddFigureColumn(QGridLayout* grid, int column,
                                                     const char* suffix) {
    QWidget* const parent = grid->parentWidget();
    const auto figure = [parent, suffix](const char* name) {
        return MakeFigure(parent, QString::fromLatin1(name) + QLatin1String(suffix));
    };
    const FigureLabels labels{figure("payments"), figure("lastPayment"), figure("totalPaid"),
                              figure("totalInterest")};
    grid->addWidget(labels.payments, 1, column);
    grid->addWidget(labels.lastPayment, 2, column);
    grid->addWidget(labels.totalPaid, 3, column);
    grid->addWidget(labels.totalInterest, 4, column);
    return labels;
}

void CPayoffDlg::ShowFigures(const FigureLabels& labels, const brellow::PayoffFigures& figures) {
    labels.payments->setText(QString::number(figures.payments));
    labels.lastPayment->setText(QString::fromStdString(brellow::FormatDate(figures.lastPayment)));
    labels.totalPaid->setText(Amount(figures.totalPaid));
    labels.totalInterest->setText(Amount(figures.totalInterest));
}

void CPayoffDlg::Recompute() {
    m_trial.reset();
    if (!m_document) return;
    const CTamsicDoc& doc = m_document->doc();
    const Trial trial = TryAdditionalPayment(doc, m_edAdditionalPayment->text().toStdString());
    m_stNote->setText(trial.problem);
    m_stNote->setVisible(!trial.problem.isEmpty());
    m_figures->setVisible(trial.problem.isEmpty());
    m_btnApply->setEnabled(trial.problem.isEmpty() && trial.payment != doc.GetAdditionalPayment());
    if (!trial.problem.isEmpty()) return;

    m_trial = trial.payment;
    ShowFigures(m_with, trial.payoff.loan);
    const bool compared = trial.payoff.withoutAdditional && trial.payoff.saved;
    for (QWidget* widget : m_comparison) widget->setVisible(compared);
    // The loan's own figures stand; those without the additional payment give way to why.
    const QString problem = QString::fromStdString(trial.payoff.withoutAdditionalProblem);
    m_stNote->setText(problem);
    m_stNote->setVisible(!problem.isEmpty());
    if (!compared) return;
    ShowFigures(m_without, *trial.payoff.withoutAdditional);
    const brellow::PayoffSavings& saved = *trial.payoff.saved;
    m_stPaymentsSaved->setText(QString::number(saved.payments));
    m_stTimeSaved->setText(YearsAndMonths(saved.years, saved.months));
    m_stInterestSaved->setText(Amount(saved.interest));
}

void CPayoffDlg::OnApply() {
    // The document announces the change, which brings the figures up to date.
    if (m_document && m_trial) ChangeAdditionalPayment(*m_document, *m_trial);
}

void ShowPayoffSummary(LoanDocument& document, QWidget* parent) {
    // On the heap: closing the parent while the dialog runs deletes it.
    QPointer<CPayoffDlg> dialog = new CPayoffDlg(document, parent);
    dialog->exec();
    delete dialog;
}
