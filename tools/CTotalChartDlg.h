#pragma once

// "Total Payment Distribution Chart": how the whole cost of a loan splits into principal
// (the loan amount A) and interest I, as a pie of two slices with the amount and the share
// of each beside it.
//
// The interest share f = I / (A + I) turns into the angle θ = f × 6.283186 (a constant a
// little above 2π). The red interest slice lies in the circle
// of centre (210, 140) and radius 100, from three o'clock counter-clockwise to the point
// (trunc(210 + 100 cos θ), trunc(140 − 100 sin θ)); the blue principal slice is the rest
// of the same circle moved 10 pixels left and down (centre (200, 150)), from its point
// at θ on to three o'clock.
//   A loan whose interest equals its amount: f = 0.5, θ = 3.141593, the end point
//   (110, 140): the red slice is the upper half, the blue the lower half of its circle,
//   and both shares read "50.00%".
// Amounts too wide for the window (a billion and more) widen it by as much; a window given
// a larger size shows the same picture scaled to fit, centred.
//
// A slice that turns through no angle is empty and one that turns through a full turn or
// more is the whole circle, whatever its end points (whole pixels) say: a loan without
// interest shows no red, and a share so near 1 that θ passes 2π shows no blue.

#include "tools/ChartDialog.h"

namespace brellow {
class CTamsicDoc;
}

class CTotalChartDlg : public ChartDialog {
    Q_OBJECT

public:
    CTotalChartDlg(double loanAmount, double totalInterest, QWidget* parent = nullptr);
    // The document's loan amount and the total interest of its schedule
    // (ComputePayoffFigures), as its running totals and the Payoff Summary show it.
    explicit CTotalChartDlg(const brellow::CTamsicDoc& doc, QWidget* parent = nullptr);

    // Empty unless the shares are not defined: a loan amount of 0, or a loan amount or total
    // interest below 0, which are not parts of one whole.
    QString NothingToChart() const override;
    // The two amounts and their shares.
    QString Description() const override;

protected:
    void PaintChart(QPainter& painter) const override;
    QSize LabelGrowth() const override;

private:
    double m_dLoanAmount;
    double m_dTotalInterest;
};

// Shows the chart of the document's loan modally above `parent`.
void ShowTotalChart(const brellow::CTamsicDoc& doc, QWidget* parent);
