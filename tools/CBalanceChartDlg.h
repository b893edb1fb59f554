#pragma once

// "Balance Over Time Chart": the balance left after each payment, as a line from the loan
// amount down to zero where the loan is paid off, and, for a loan with an additional
// payment, the same loan without it beside it.
//
// Geometry, in pixels of the client area (ChartDialog::LinePlotIn of the client size, so
// no window frame counts): the base line y = B is 71 pixels above the bottom and the
// plot's top 120 − 71 = 49 pixels from the top; the left edge is x = L, W pixels wide and
// H high. The vertical axis runs from 0 at y = B to the highest balance M of either line
// (the loan amount, unless a negative additional payment makes the balance grow), the
// horizontal one from 0 payments at x = L to the longer loan's N payments at x = L + W.
// The balance after payment i (the amount for i = 0) lies at x = L + trunc(i × W / N) and
// y = B − trunc(balance × H / M). L is 90 unless M's label needs more than the 80 pixels
// left of it (ChartDialog::LinePlotIn).
//   100,000.00 at 6 % monthly over 360 from January 2003 with 100.00 extra, in a
//   740 × 371 window whose "$100,000.00" fits in 80 pixels: L = 90, W = 470, B = 300,
//   H = 251. The loan starts at (90, 49) and is
//   paid off with payment 252 at (90 + trunc(252 × 470 / 360), 300) = (419, 300), where the
//   payoff is marked "Paid off 12/01/2023"; the line without the additional payment ends
//   at (560, 300).
//
// A dated loan gets a tick on the axis where each year begins (at the balance after the
// last payment of the year before) and the years as labels, every first, second, fifth,
// tenth... year as room allows; an undated one gets the numbers of the first and the last
// payment. The figures without the additional payment are those of the Payoff Summary
// (ComputePayoff): where they would pass the cent limit or the calendar, the reason stands
// in the legend instead of the line.
//
// Both lines are reduced to a few points per pixel column (ChartSeries.h) once per change
// of the terms or of the window's size.

#include "engine/LoanTerms.h"
#include "engine/Payoff.h"
#include "tools/ChartDialog.h"

#include <QPointF>

#include <optional>
#include <vector>

namespace brellow {
class CTamsicDoc;
}

class CBalanceChartDlg : public ChartDialog {
    Q_OBJECT

public:
    // The document must outlive the dialog; it is only read.
    explicit CBalanceChartDlg(const brellow::CTamsicDoc& doc, QWidget* parent = nullptr);

    // Empty unless the loan has no payments or no positive amount to fall from.
    QString NothingToChart() const override;
    // The starting balance, the payoff and, with an additional payment, what it saves.
    QString Description() const override;

protected:
    void PaintChart(QPainter& painter) const override;
    QSize LabelGrowth() const override;

private:
    // What does not depend on the window: the payoff figures and the scale.
    struct Figures {
        brellow::LoanTerms terms;
        brellow::PayoffSummary payoff;
        int payments = 0;      // the longer loan's, the horizontal axis' length
        double highest = 0.0;  // the highest balance of either line
    };
    const Figures& CurrentFigures() const;

    struct Traces {
        brellow::LoanTerms terms;
        LinePlot plot;
        std::vector<QPointF> balance;
        std::vector<QPointF> without;
    };
    const Traces& TracesFor(const LinePlot& plot) const;

    void PaintYearAxis(QPainter& painter, const LinePlot& plot, int payments) const;
    void PaintLegend(QPainter& painter, const LinePlot& plot, const Figures& figures) const;

    const brellow::CTamsicDoc& m_doc;
    mutable std::optional<Figures> m_figures;
    mutable std::optional<Traces> m_traces;
};

// Shows the chart of the document's loan modally above `parent`.
void ShowBalanceChart(const brellow::CTamsicDoc& doc, QWidget* parent);
