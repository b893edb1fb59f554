#include "view/CLoanParamsDlg.h"

#include "engine/CTamsicDoc.h"
#include "engine/Limits.h"
#include "engine/LoanTerms.h"
#include "engine/NumberParse.h"
#include "engine/TermsCheck.h"
#include "view/LabelledField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>
#include <QVBoxLayout>

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

// The compounding list words code 8 as "Continuously"; its name is "Continuous".
constexpr int kContinuousCode = static_cast<int>(brellow::CompoundFrequency::Continuous);
constexpr QLatin1String kContinuousItem("Continuously");

// 15 significant digits, "." whatever the locale: the text the parsers read back.
QString FormatDouble(double value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 15);
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

// Selects the first item that begins with the text, ignoring case; a text no item
// begins with stays in the edit field as typed.
void SelectComboText(QComboBox* combo, const QString& text) {
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(i);
            return;
        }
    }
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

// The names of codes 0..count-1: list position k is code k.
QStringList FrequencyNames(std::string (*nameOf)(int), int count) {
    QStringList names;
    for (int code = 0; code < count; ++code) names << QString::fromStdString(nameOf(code));
    return names;
}

QComboBox* MakeFrequencyCombo(QWidget* parent, const char* name, const QStringList& items) {
    auto* combo = new LabelledComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->addItems(items);
    // The typed text is the value, exactly as typed: no completion, nothing added to
    // the list and no case-insensitive snapping to an item when Return is pressed.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setDuplicatesEnabled(true);
    return combo;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(110);
    return edit;
}

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

// "01/01/03" is the year 3, before the calendar's first year: a date that would read if
// its year had four digits.
bool HasShortYear(const QString& text) {
    static const QRegularExpression kShortYear(
        QStringLiteral("^(\\s*\\d{1,2}/\\d{1,2}/)(\\d{1,2})(\\D.*)?$"));
    const QRegularExpressionMatch match = kShortYear.match(text);
    if (!match.hasMatch()) return false;
    const QString widened = match.captured(1) + QStringLiteral("20") +
                            match.captured(2).rightJustified(2, QLatin1Char('0')) +
                            match.captured(3);
    return brellow::ParseDate(widened.toStdString()).has_value();
}

}  // namespace

CLoanParamsDlg::CLoanParamsDlg(QWidget* parent, HelpRequest help)
    : QDialog(parent), m_help(std::move(help)) {
    setWindowTitle(QStringLiteral("Loan Parameters"));

    m_edAmount = MakeEdit(this, "amount");
    m_edPeriods = MakeEdit(this, "periods");
    m_edRate = MakeEdit(this, "rate");
    m_edFirstDate = MakeEdit(this, "firstDate");
    m_cbPaymentPeriod = MakeFrequencyCombo(
        this, "paymentPeriod",
        FrequencyNames(brellow::PaymentFrequencyName, brellow::kPaymentFrequencyCount));
    QStringList compoundItems =
        FrequencyNames(brellow::CompoundFrequencyName, brellow::kCompoundFrequencyCount);
    compoundItems[kContinuousCode] = kContinuousItem;
    m_cbCompoundPeriod = MakeFrequencyCombo(this, "compoundPeriod", compoundItems);
    m_edAdditionalPayment = MakeEdit(this, "additionalPayment");
    m_chkBalloon = new QCheckBox(QStringLiteral("&Balloon Payment"), this);
    m_chkBalloon->setObjectName(QStringLiteral("balloon"));
    m_edPayoffPeriod = MakeEdit(this, "payoffPeriod");
    m_stTotalPeriods = new QLabel(TotalPeriodsLabel(2), this);
    m_stTotalPeriods->setObjectName(QStringLiteral("totalPeriodsLabel"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* helpButton = new QPushButton(QStringLiteral("Help"), this);
    helpButton->setAutoDefault(false);
    cancel->setAutoDefault(false);

    // Each field is named by its label, which also gives it its Alt+letter.
    const auto label = [this](const char* text, QWidget* field = nullptr) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        LabelField(label, field);
        return label;
    };
    LabelField(m_stTotalPeriods, m_edPeriods);
    auto* additionalLabel =
        label("A&dditional Payment Per Period (Optional):", m_edAdditionalPayment);
    additionalLabel->setWordWrap(true);

    auto* fields = new QGridLayout;
    fields->setColumnStretch(2, 1);
    fields->addWidget(label("&Amount of Loan:", m_edAmount), 0, 0);
    fields->addWidget(label("$"), 0, 1);
    fields->addWidget(m_edAmount, 0, 2);
    fields->addWidget(m_stTotalPeriods, 1, 0);
    fields->addWidget(m_edPeriods, 1, 2);
    fields->addWidget(label("Annual Interest &Rate: (%)", m_edRate), 2, 0);
    fields->addWidget(m_edRate, 2, 2);
    fields->addWidget(label("&First Payment Date:", m_edFirstDate), 3, 0);
    fields->addWidget(m_edFirstDate, 3, 2);
    fields->addWidget(label("Pa&yment Period:", m_cbPaymentPeriod), 4, 0);
    fields->addWidget(m_cbPaymentPeriod, 4, 2);
    fields->addWidget(label("&Compounding Period:", m_cbCompoundPeriod), 5, 0);
    fields->addWidget(m_cbCompoundPeriod, 5, 2);
    fields->addWidget(additionalLabel, 6, 0);
    fields->addWidget(label("$"), 6, 1);
    fields->addWidget(m_edAdditionalPayment, 6, 2);
    fields->addWidget(m_chkBalloon, 7, 0, 1, 3);
    auto* payoffLabel = label("Pay&off at Payment #:", m_edPayoffPeriod);
    payoffLabel->setIndent(20);
    fields->addWidget(payoffLabel, 8, 0);
    fields->addWidget(m_edPayoffPeriod, 8, 2);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(helpButton);
    buttons->addStretch();

    auto* top = new QHBoxLayout(this);
    top->addLayout(fields, 1);
    top->addSpacing(12);
    top->addLayout(buttons);

    QWidget* const tabOrder[] = {m_edAmount,
                                 m_edPeriods,
                                 m_edRate,
                                 m_edFirstDate,
                                 m_cbPaymentPeriod,
                                 m_cbCompoundPeriod,
                                 m_edAdditionalPayment,
                                 m_chkBalloon,
                                 m_edPayoffPeriod,
                                 ok,
                                 cancel,
                                 helpButton};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(ok, &QPushButton::clicked, this, &CLoanParamsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CLoanParamsDlg::reject);
    connect(helpButton, &QPushButton::clicked, this, &CLoanParamsDlg::OnHelp);
    connect(m_chkBalloon, &QCheckBox::clicked, this, &CLoanParamsDlg::OnBalloonPayment);
    // activated comes from the person choosing an item, never from typing or from
    // the dialog writing its values.
    connect(m_cbPaymentPeriod, &QComboBox::activated, this,
            &CLoanParamsDlg::OnSelchangePaymentPeriod);
}

QString CLoanParamsDlg::TotalPeriodsLabel(int paymentIndex) {
    static const char* const labels[brellow::kPaymentFrequencyCount] = {
        "Total &Periods (weeks):",    "Total &Periods (biweeks):",
        "Total &Periods (months):",   "Total &Periods (bimonths):",
        "Total &Periods (quarters):", "Total &Periods (half years):",
        "Total &Periods (years):"};
    if (paymentIndex < 0 || paymentIndex >= brellow::kPaymentFrequencyCount) return {};
    return QString::fromLatin1(labels[paymentIndex]);
}

void CLoanParamsDlg::showEvent(QShowEvent* event) {
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CLoanParamsDlg::SetTerms(const brellow::LoanTerms& terms) {
    StoreMembers(terms,
                 QString::fromStdString(brellow::PaymentFrequencyName(terms.paymentFrequency)),
                 QString::fromStdString(brellow::CompoundFrequencyName(terms.compoundFrequency)));
}

brellow::LoanTerms CLoanParamsDlg::Terms() const {
    return {m_dAmount,
            m_nPeriods,
            m_dRate,
            m_dtFirstPayment,
            brellow::PaymentFrequencyFromName(m_strPaymentPeriod.toStdString()),
            brellow::CompoundFrequencyFromName(m_strCompoundPeriod.toStdString()),
            m_bBalloon,
            m_nPayoffPeriod,
            m_dAdditionalPayment};
}

void CLoanParamsDlg::StoreMembers(const brellow::LoanTerms& terms, const QString& paymentName,
                                  const QString& compoundName) {
    m_dAmount = terms.loanAmount;
    m_nPeriods = terms.numPeriods;
    m_dRate = terms.interestRate;
    m_dtFirstPayment = terms.firstPayment;
    m_strCompoundPeriod = compoundName;
    m_strPaymentPeriod = paymentName;
    m_bBalloon = terms.balloon;
    m_nPayoffPeriod = terms.balloonPeriod;
    m_dAdditionalPayment = terms.additionalPayment;
}

void CLoanParamsDlg::OnInitDialog() {
    WriteControls();
    m_edPayoffPeriod->setEnabled(m_bBalloon);
    const QString label = TotalPeriodsLabel(m_cbPaymentPeriod->currentIndex());
    if (!label.isEmpty()) m_stTotalPeriods->setText(label);
    m_edAmount->setFocus();
    m_edAmount->selectAll();
}

void CLoanParamsDlg::OnBalloonPayment() {
    m_bBalloon = m_chkBalloon->isChecked();
    m_edPayoffPeriod->setEnabled(m_bBalloon);
}

void CLoanParamsDlg::OnSelchangePaymentPeriod() {
    const QString label = TotalPeriodsLabel(m_cbPaymentPeriod->currentIndex());
    if (!label.isEmpty()) m_stTotalPeriods->setText(label);
}

void CLoanParamsDlg::OnHelp() {
    if (m_help) m_help(this, QStringLiteral("parameters"));
}

void CLoanParamsDlg::accept() {
    if (ReadControls()) QDialog::accept();
}

void CLoanParamsDlg::Refuse(QWidget* field, const QString& message) {
    QMessageBox::warning(this, QStringLiteral("Brellow"), message);
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(field)) {
        combo->lineEdit()->selectAll();
    }
}

QWidget* CLoanParamsDlg::FieldWidget(brellow::TermsField field) const {
    using brellow::TermsField;
    const std::pair<TermsField, QWidget*> widgets[] = {
        {TermsField::Amount, m_edAmount},
        {TermsField::Periods, m_edPeriods},
        {TermsField::Rate, m_edRate},
        {TermsField::FirstPayment, m_edFirstDate},
        {TermsField::PaymentPeriod, m_cbPaymentPeriod},
        {TermsField::CompoundPeriod, m_cbCompoundPeriod},
        {TermsField::AdditionalPayment, m_edAdditionalPayment},
        {TermsField::Balloon, m_chkBalloon},
        {TermsField::PayoffPeriod, m_edPayoffPeriod},
    };
    for (const auto& [candidate, widget] : widgets) {
        if (candidate == field) return widget;
    }
    return m_edAmount;
}

void CLoanParamsDlg::WriteControls() {
    m_edAmount->setText(FormatDouble(m_dAmount));
    m_edPeriods->setText(QString::number(m_nPeriods));
    m_edRate->setText(FormatDouble(m_dRate));
    m_edFirstDate->setText(QString::fromStdString(brellow::FormatDate(m_dtFirstPayment)));
    SelectComboText(m_cbCompoundPeriod, m_strCompoundPeriod);
    SelectComboText(m_cbPaymentPeriod, m_strPaymentPeriod);
    m_chkBalloon->setChecked(m_bBalloon);
    m_edPayoffPeriod->setText(QString::number(m_nPayoffPeriod));
    m_edAdditionalPayment->setText(FormatDouble(m_dAdditionalPayment));
}

bool CLoanParamsDlg::ReadControls() {
    const QString notNumber = QStringLiteral("Please enter a number.");
    const QString notInteger = QStringLiteral("Please enter an integer.");
    // An untouched field keeps the value it was opened with (see the header).
    using Parse = std::optional<double> (*)(std::string_view);
    const auto readDouble = [&](QLineEdit* edit, double opened,
                                Parse parse = brellow::ParseDouble) -> std::optional<double> {
        const auto value = parse(Text(edit));
        if (!value) {
            Refuse(edit, notNumber);
            return std::nullopt;
        }
        return edit->isModified() ? *value : opened;
    };
    const auto readInt = [&](QLineEdit* edit) -> std::optional<int> {
        const auto value = brellow::ParseInt(Text(edit));
        if (!value) Refuse(edit, notInteger);
        return value;
    };
    // A money field is read and its range checked before the next field is read.
    using FieldCheck = std::optional<brellow::TermsProblem> (*)(double);
    const auto readMoney = [&](QLineEdit* edit, double opened,
                               FieldCheck check) -> std::optional<double> {
        const auto value = readDouble(edit, opened, brellow::ParseMoney);
        if (!value) return std::nullopt;
        if (const auto problem = check(*value)) {
            Refuse(edit, QString::fromStdString(problem->message));
            return std::nullopt;
        }
        return value;
    };

    const auto amount = readMoney(m_edAmount, m_dAmount, brellow::CheckLoanAmount);
    if (!amount) return false;
    const auto periods = readInt(m_edPeriods);
    if (!periods) return false;
    if (*periods < 0 || *periods > brellow::kMaxPeriods) {
        Refuse(m_edPeriods,
               QString::fromStdString(brellow::IntegerRangeMessage(0, brellow::kMaxPeriods)));
        return false;
    }
    const auto rate = readDouble(m_edRate, m_dRate);
    if (!rate) return false;
    auto firstPayment = brellow::ParseDate(Text(m_edFirstDate));
    if (!firstPayment) {
        const QString hint =
            HasShortYear(m_edFirstDate->text())
                ? QStringLiteral("The year needs four digits (01/01/2003).")
                : QStringLiteral("Enter the date as MM/DD/YYYY, for example 02/01/2027.");
        Refuse(m_edFirstDate, QStringLiteral("Please enter a date and/or time.\n") + hint);
        return false;
    }
    if (!m_edFirstDate->isModified()) firstPayment = m_dtFirstPayment;
    QString compound = m_cbCompoundPeriod->currentText();
    if (compound == kContinuousItem) {
        compound = QString::fromStdString(brellow::CompoundFrequencyName(kContinuousCode));
    }
    const QString payment = m_cbPaymentPeriod->currentText();
    const bool balloon = m_chkBalloon->isChecked();
    // A cleared box disables the payoff field, which the person cannot mend then; its
    // value does not count, so text left there that is no number keeps the old one.
    const auto payoff = balloon
                            ? readInt(m_edPayoffPeriod)
                            : brellow::ParseInt(Text(m_edPayoffPeriod)).value_or(m_nPayoffPeriod);
    if (!payoff) return false;
    const auto additional =
        readMoney(m_edAdditionalPayment, m_dAdditionalPayment, brellow::CheckAdditionalPayment);
    if (!additional) return false;

    const brellow::LoanTerms terms{*amount,
                                   *periods,
                                   *rate,
                                   *firstPayment,
                                   brellow::PaymentFrequencyFromName(payment.toStdString()),
                                   brellow::CompoundFrequencyFromName(compound.toStdString()),
                                   balloon,
                                   *payoff,
                                   *additional};
    if (const auto problem = brellow::CheckTerms(brellow::CTamsicDoc::StoredTerms(terms))) {
        Refuse(FieldWidget(problem->field), QString::fromStdString(problem->message));
        return false;
    }
    StoreMembers(terms, payment, compound);
    return true;
}
