#pragma once

// The "Loan Parameters" dialog: the only place where a person types a loan's terms.
//
// The caller fills the value members (SetTerms), runs the dialog and, on Accepted,
// reads them back (Terms). The controls are written from the members when the dialog is
// first shown; OK reads them field by field (in tab order, but the payoff period before
// the additional payment) and keeps the dialog open at the first field that does not
// parse or that the terms check refuses, with the focus on that field.
// The members change only when every field passed.
//
// Frequencies travel as names. The compounding list shows "Continuously" for the
// stored name "Continuous" and hands "Continuous" back, so continuous compounding
// survives a round trip through the dialog. A field the person did not edit gives
// back the value it was opened with: the date field shows no time of day and doubles
// show 15 significant digits, and neither may turn an untouched field into a change.

#include "engine/LoanTerms.h"
#include "engine/OleDateTime.h"
#include "view/HelpRequest.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace brellow {
enum class TermsField;
}

class CLoanParamsDlg : public QDialog {
    Q_OBJECT

public:
    // `help` is asked for the topic "parameters" when the person presses "Help".
    explicit CLoanParamsDlg(QWidget* parent = nullptr, HelpRequest help = {});

    QComboBox* m_cbPaymentPeriod = nullptr;
    QLabel* m_stTotalPeriods = nullptr;
    QLineEdit* m_edPayoffPeriod = nullptr;
    QLineEdit* m_edFirstDate = nullptr;

    double m_dAmount = 0.0;
    int m_nPeriods = 0;
    double m_dRate = 0.0;
    brellow::OleDateTime m_dtFirstPayment = brellow::OleDateTime::CurrentLocal();
    QString m_strCompoundPeriod;
    QString m_strPaymentPeriod;
    bool m_bBalloon = false;
    int m_nPayoffPeriod = 0;
    double m_dAdditionalPayment = 0.0;

    // Fills the value members from the terms, the frequencies as their names.
    void SetTerms(const brellow::LoanTerms& terms);
    // The value members as terms, the frequency names as their codes (a text that is no
    // name gives Monthly).
    brellow::LoanTerms Terms() const;

    // The label of the periods field for a payment list position; empty outside 0..6.
    static QString TotalPeriodsLabel(int paymentIndex);

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnBalloonPayment();
    void OnSelchangePaymentPeriod();
    void OnHelp();
    void WriteControls();
    // Reads and checks the controls into the members; false when a field failed (its
    // message has been shown and it has the focus), and the members are unchanged.
    bool ReadControls();
    void StoreMembers(const brellow::LoanTerms& terms, const QString& paymentName,
                      const QString& compoundName);
    QWidget* FieldWidget(brellow::TermsField field) const;
    void Refuse(QWidget* field, const QString& message);

    QLineEdit* m_edAmount = nullptr;
    QLineEdit* m_edPeriods = nullptr;
    QLineEdit* m_edRate = nullptr;
    QComboBox* m_cbCompoundPeriod = nullptr;
    QLineEdit* m_edAdditionalPayment = nullptr;
    QCheckBox* m_chkBalloon = nullptr;
    HelpRequest m_help;
    bool m_bInitialised = false;
};
