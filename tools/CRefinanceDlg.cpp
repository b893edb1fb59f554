#include "tools/CRefinanceDlg.h"

#include "output/RefinanceAdviceText.h"
#include "tools/CRefinanceResultDlg.h"
#include "view/LabelledField.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstddef>
#include <string>
#include <utility>
#include <variant>

namespace {

using brellow::RefinanceField;

struct FieldLabel {
    const char* group;
    const char* label;
    bool money;  // shown after a "$"
};

// By RefinanceField, which is also the tab order. "&" marks each label's Alt+letter.
constexpr FieldLabel kLabels[] = {
    {"Current Loan", "&Original Loan Amount", true},
    {"Current Loan", "Total &Periods (years)", false},
    {"Current Loan", "Interest &Rate (%)", false},
    {"Current Loan", "&Months already paid", false},
    {"Current Loan", "Your Federal and State &Tax Bracket (%)", false},
    {"New Loan", "Total Periods (&years)", false},
    {"New Loan", "&Interest Rate (%)", false},
    {"New Loan", "&Loan Points", false},
    {"New Loan", "&Closing Cost", true},
};
constexpr std::size_t kFirstNewLoanField = static_cast<std::size_t>(RefinanceField::NewYears);
static_assert(
    [] {
        for (std::size_t i = 0; i < std::size(kLabels); ++i) {
            if (kLabels[i].money != brellow::IsRefinanceMoneyField(static_cast<RefinanceField>(i)))
                return false;
        }
        return true;
    }(),
    "the fields shown after a \"$\" are those read as money");

QGroupBox* MakeGroup(QWidget* parent, const char* title, QLineEdit* const* fields,
                     std::size_t first, std::size_t end) {
    auto* group = new QGroupBox(QString::fromLatin1(title), parent);
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(0, 1);
    for (std::size_t i = first; i < end; ++i) {
        const int row = static_cast<int>(i - first);
        auto* label = new QLabel(QString::fromLatin1(kLabels[i].label), group);
        LabelField(label, fields[i]);
        grid->addWidget(label, row, 0);
        if (kLabels[i].money) grid->addWidget(new QLabel(QStringLiteral("$"), group), row, 1);
        grid->addWidget(fields[i], row, 2);
    }
    return group;
}

}  // namespace

CRefinanceDlg::CRefinanceDlg(QWidget* parent, HelpRequest help)
    : QDialog(parent), m_help(std::move(help)) {
    setWindowTitle(QStringLiteral("Refinance Advisor"));
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i] = new QLineEdit(QStringLiteral("0"), this);
        m_fields[i]->setObjectName(QStringLiteral("field%1").arg(i));
        m_fields[i]->setMinimumWidth(110);
    }

    auto* analyze = new QPushButton(QStringLiteral("Analyze..."), this);
    analyze->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* helpButton = new QPushButton(QStringLiteral("Help"), this);
    cancel->setAutoDefault(false);
    helpButton->setAutoDefault(false);

    auto* groups = new QVBoxLayout;
    groups->addWidget(MakeGroup(this, "Current Loan", m_fields.data(), 0, kFirstNewLoanField));
    groups->addWidget(
        MakeGroup(this, "New Loan", m_fields.data(), kFirstNewLoanField, m_fields.size()));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(analyze);
    buttons->addWidget(cancel);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addLayout(groups, 1);
    top->addSpacing(12);
    top->addLayout(buttons);

    for (std::size_t i = 1; i < m_fields.size(); ++i) setTabOrder(m_fields[i - 1], m_fields[i]);
    setTabOrder(m_fields.back(), analyze);
    setTabOrder(analyze, cancel);
    setTabOrder(cancel, helpButton);
    m_fields.front()->setFocus();
    m_fields.front()->selectAll();

    connect(analyze, &QPushButton::clicked, this, &CRefinanceDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CRefinanceDlg::reject);
    connect(helpButton, &QPushButton::clicked, this, &CRefinanceDlg::OnHelp);
}

QLineEdit* CRefinanceDlg::Field(RefinanceField field) const {
    return m_fields[static_cast<std::size_t>(field)];
}

void CRefinanceDlg::accept() {
    brellow::RefinanceInputs inputs;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const auto field = static_cast<RefinanceField>(i);
        const auto refusal =
            brellow::SetRefinanceField(inputs, field, m_fields[i]->text().toStdString());
        if (refusal) {
            Refuse(field, QString::fromStdString(refusal->message));
            return;
        }
    }
    auto computed = brellow::ComputeRefinance(inputs);
    if (const auto* refusal = std::get_if<brellow::RefinanceRefusal>(&computed)) {
        const FieldLabel& named = kLabels[static_cast<std::size_t>(refusal->field)];
        Refuse(refusal->field,
               QStringLiteral("%1, %2: %3")
                   .arg(QString::fromLatin1(named.group),
                        QString::fromLatin1(named.label).remove(QLatin1Char('&')),
                        QString::fromStdString(refusal->message)));
        return;
    }
    m_figures = std::get<brellow::RefinanceFigures>(computed);
    QDialog::accept();
}

void CRefinanceDlg::OnHelp() {
    if (m_help) m_help(this, QStringLiteral("tools"));
}

void CRefinanceDlg::Refuse(RefinanceField field, const QString& message) {
    QMessageBox::warning(this, QStringLiteral("Brellow"), message);
    QLineEdit* const edit = Field(field);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void RunRefinanceAdvisor(QWidget* parent, HelpRequest help) {
    CRefinanceDlg input(parent, std::move(help));
    if (input.exec() != QDialog::Accepted) return;
    CRefinanceResultDlg result(parent);
    result.SetText(QString::fromStdString(brellow::WordRefinanceAdvice(input.Figures())));
    result.exec();
}
