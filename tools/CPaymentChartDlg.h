#pragma once

// "Individual Payment Distribution Chart": for every payment of a loan, the interest
// (red) and the principal (blue) over the payment number.
//
// Geometry, in pixels of the client area: the base line is y = 300 and the left edge
// x = 90; W = the window's outer width − 270 and H = its outer height − 120 (caption and
// borders count, so a window manager's frame makes the plot taller). Labels wider than the
// 80 pixels left of the plot (payments of a million and more) move the plot and the legend
// right and widen the window by as much (ChartDialog::LinePlotIn); a window given another
// size keeps its base line 71 pixels above the bottom. The vertical axis
// runs from 0 at y = 300 up to the full payment T = payment + additional payment at
// y = 300 − H, the horizontal one from period 1 at x = 90 to period N at x = 90 + W.
// Point i (from 0) of a series lies at x = 90 + trunc(i × W / N) and
// y = 300 − trunc(amount × H / T).
//   100,000.00 at 6 % monthly over 360 in a 740 × 371 window without a frame: W = 470,
//   H = 251, T = 599.55; the first interest point is (90, 300 − trunc(500 × 251 / 599.55))
//   = (90, 91) and the first principal point (90, 259).
// The last payment pays off the balance, so on a balloon loan the principal line ends in
// a step far above T, out of the window.
//
// The value labels (the full payment at the top, the first interest and the first
// principal beside their points) never cover one another: the first interest's moves below
// the top one, the first principal's above the "0", and two that would meet move apart.
//
// The series are reduced to a few points per pixel column (ChartSeries.h) once per change
// of the terms or of the window's size, so a repaint of a 400,000-payment loan costs what
// one of a 360-payment loan does.

#include "engine/LoanTerms.h"
#include "engine/Schedule.h"
#include "tools/ChartDialog.h"

#include <QPointF>

#include <optional>
#include <vector>

namespace brellow {
class CTamsicDoc;
}

class CPaymentChartDlg : public ChartDialog {
    Q_OBJECT

public:
    // The document must outlive the dialog; it is only read.
    explicit CPaymentChartDlg(const brellow::CTamsicDoc& doc, QWidget* parent = nullptr);

    // Empty unless the full payment is 0, where no vertical scale exists.
    QString NothingToChart() const override;
    // The first and last payment's interest and principal, and where the lines cross.
    QString Description() const override;

protected:
    void PaintChart(QPainter& painter) const override;
    QSize LabelGrowth() const override;

private:
    // A value label right-aligned 5 pixels left of the plot, in a box 15 pixels high from
    // `top`.
    static void ValueLabel(QPainter& painter, const LinePlot& plot, int top, double amount);

    // The two series of the plot for the terms and plot they were made for, with the
    // figures the description tells.
    struct Traces {
        brellow::LoanTerms terms;
        LinePlot plot;
        std::vector<QPointF> interest;
        std::vector<QPointF> principal;
        brellow::ScheduleRow first;
        brellow::ScheduleRow last;
        // The first row where principal exceeds interest or stops doing so, as it did in
        // the first row; period 0 when the lines never cross.
        brellow::ScheduleRow crossing;
    };
    const Traces& TracesFor(const LinePlot& plot) const;

    const brellow::CTamsicDoc& m_doc;
    mutable std::optional<Traces> m_traces;
};

// Shows the chart of the document's loan modally above `parent`.
void ShowPaymentChart(const brellow::CTamsicDoc& doc, QWidget* parent);
