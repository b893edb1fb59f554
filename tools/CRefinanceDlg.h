#pragma once

// The refinance advisor's input dialog ("Refinance Advisor") and the command that runs the
// advisor: the input dialog, then the advice in "Refinance Advisor Says:".
//
// The nine fields open at 0 every time and are read on "Analyze..." in tab order: a
// number for the amounts, rates, bracket and points ("Please enter a number."), a whole
// count for the years and months ("Please enter a positive integer."). Then the figures
// are computed; inputs that leave them undefined or beyond what can be shown (a dollar
// amount of 10^12 or more, a term of 0 years, more months paid than the term has, a tax
// bracket of 100 % or more, figures beyond the cent limit) are refused with a message that
// names the field that causes it and the reason. Each refusal keeps the
// dialog open with the focus on the field to mend. The open document is neither read nor
// changed.

#include "engine/RefinanceAdvice.h"
#include "view/HelpRequest.h"

#include <QDialog>
#include <QString>

#include <array>

class QLineEdit;

class CRefinanceDlg : public QDialog {
    Q_OBJECT

public:
    // `help` is asked for the topic "tools" when the person presses "Help".
    explicit CRefinanceDlg(QWidget* parent = nullptr, HelpRequest help = {});

    QLineEdit* Field(brellow::RefinanceField field) const;
    // The figures of the fields as they were when "Analyze..." was accepted.
    const brellow::RefinanceFigures& Figures() const noexcept { return m_figures; }

public slots:
    void accept() override;

private:
    void OnHelp();
    void Refuse(brellow::RefinanceField field, const QString& message);

    std::array<QLineEdit*, 9> m_fields{};
    brellow::RefinanceFigures m_figures;
    HelpRequest m_help;
};

// Runs the advisor modally above `parent`: the input dialog, and unless it is cancelled
// the advice. Nothing is kept afterwards.
void RunRefinanceAdvisor(QWidget* parent, HelpRequest help);
