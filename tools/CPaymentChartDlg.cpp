#include "tools/CPaymentChartDlg.h"

#include "engine/CTamsicDoc.h"
#include "engine/OleDateTime.h"
#include "engine/Schedule.h"
#include "tools/ChartSeries.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

const QColor kInterestColour(238, 0, 0);
const QColor kPrincipalColour(0, 0, 238);
// The value labels' boxes: 15 pixels high, 5 apart, right-aligned in the 80 pixels left of
// the plot unless they need more.
constexpr int kLabelHeight = 15;
constexpr int kLabelGap = 5;
constexpr int kLabelRoom = 80;

// trunc of a pixel offset, held far outside any window: the label rules compare and add
// to it, and a near-zero payment makes the scale large enough to overflow an int.
int LabelOffset(double pixels) {
    constexpr int kFar = 1000000;
    if (!(pixels > -kFar)) return -kFar;
    if (!(pixels < kFar)) return kFar;
    return static_cast<int>(pixels);
}

double FullPayment(const brellow::CTamsicDoc& doc) {
    return doc.GetPayment() + doc.GetAdditionalPayment();
}

double FirstInterest(const brellow::CTamsicDoc& doc) {
    return doc.GetPeriodicRate() * doc.GetLoanAmount();
}

// Tops of the first interest's and the first principal's labels, wanted at `interest` and
// `principal`: between the top label and the "0" label, and one box and a gap apart.
std::pair<int, int> SeparateLabels(int interest, int principal, int lowest, int highest) {
    const int apart = kLabelHeight + kLabelGap;
    interest = std::max(lowest, std::min(interest, highest));
    principal = std::max(lowest, std::min(principal, highest));
    if (std::abs(interest - principal) >= apart) return {interest, principal};
    const int upper =
        std::max(lowest, std::min((interest + principal) / 2 - apart / 2, highest - apart));
    const int lower = upper + apart;
    return interest <= principal ? std::pair{upper, lower} : std::pair{lower, upper};
}

QString PaymentFigures(const brellow::ScheduleRow& row) {
    return QStringLiteral("Payment %1: %2 interest and %3 principal.")
        .arg(row.period)
        .arg(AmountLabel(row.interest), AmountLabel(row.principal));
}

}  // namespace

CPaymentChartDlg::CPaymentChartDlg(const brellow::CTamsicDoc& doc, QWidget* parent)
    : ChartDialog(QStringLiteral("Individual Payment Distribution Chart"), kLineChartClientUnits,
                  kLineChartCloseUnits, parent),
      m_doc(doc) {
    FitToLabels(QStringLiteral("Monthly principal and interest"));
}

QString CPaymentChartDlg::NothingToChart() const {
    if (FullPayment(m_doc) != 0.0) return {};
    return QStringLiteral(
        "Nothing to chart: the payment per period, additional payment included, is $0.00.");
}

QString CPaymentChartDlg::Description() const {
    const QString nothing = NothingToChart();
    if (!nothing.isEmpty()) return nothing;
    const Traces& traces = TracesFor(LinePlotIn(frameGeometry().size()));
    if (traces.first.period == 0) return QStringLiteral("The loan has no payments.");
    QString text = PaymentFigures(traces.first);
    if (traces.last.period != traces.first.period) text += u' ' + PaymentFigures(traces.last);
    const bool principalFirst = traces.first.principal > traces.first.interest;
    const QString more = principalFirst ? QStringLiteral("principal exceeds interest")
                                        : QStringLiteral("interest exceeds principal");
    const QString less = principalFirst ? QStringLiteral("interest exceeds principal")
                                        : QStringLiteral("principal exceeds interest");
    if (traces.crossing.period == 0) {
        text += QStringLiteral(" The lines do not cross: %1 at every payment.").arg(more);
        return text;
    }
    const std::string date = brellow::FormatDate(traces.crossing.date);
    text += QStringLiteral(" The lines cross at payment %1%2: from there on %3.")
                .arg(traces.crossing.period)
                .arg(date.empty() ? QString() : QStringLiteral(" (%1)").arg(date.c_str()), less);
    return text;
}

QSize CPaymentChartDlg::LabelGrowth() const {
    const QFontMetrics metrics(ChartFont());
    const double full = FullPayment(m_doc);
    const double interest = FirstInterest(m_doc);
    int widest = 0;
    for (const double amount : {full, interest, full - interest}) {
        widest = std::max(widest, metrics.horizontalAdvance(AmountLabel(amount)));
    }
    return {widest - kLabelRoom, 0};
}

void CPaymentChartDlg::PaintChart(QPainter& painter) const {
    const int periods = m_doc.GetScheduleLength();
    const double full = FullPayment(m_doc);
    const LinePlot plot = LinePlotIn(frameGeometry().size());
    const double vScale = plot.height / full;
    const int top = plot.Top();

    DrawPlotFrame(painter, plot);
    TextAt(painter, plot.left, plot.base + 2, QStringLiteral("1"));
    TextAt(painter, plot.Right() - 1, plot.base + 2, QString::number(periods));
    const int middle = plot.left + plot.width / 2;
    TextIn(painter, QRect(middle - 20, plot.base + 2, 40, 30), Qt::AlignHCenter,
           QStringLiteral("Period"));
    const int zeroTop = plot.base - kLabelHeight;

    const int topLabel = top - kLabelGap;
    ValueLabel(painter, plot, topLabel, full);
    const double firstInterest = FirstInterest(m_doc);
    const double firstPrincipal = full - firstInterest;
    const auto [interestTop, principalTop] =
        SeparateLabels(plot.base - LabelOffset(vScale * firstInterest) - kLabelGap,
                       plot.base - LabelOffset(firstPrincipal * vScale) - kLabelGap,
                       topLabel + kLabelHeight + kLabelGap, zeroTop - kLabelGap - kLabelHeight);
    ValueLabel(painter, plot, interestTop, firstInterest);
    ValueLabel(painter, plot, principalTop, firstPrincipal);

    const Traces& traces = TracesFor(plot);
    const QPen interestPen = SeriesPen(kInterestColour);
    const QPen principalPen = SeriesPen(kPrincipalColour);
    const double clipTop = -10.0;
    const double clipBottom = height() + 10.0;
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSeries(painter, interestPen, traces.interest, clipTop, clipBottom);
    DrawSeries(painter, principalPen, traces.principal, clipTop, clipBottom);

    const int legend = plot.Right() + 40;
    painter.setPen(Qt::black);
    TextAt(painter, legend + 30, 150, QStringLiteral("Legends"));
    TextAt(painter, legend, 200, QStringLiteral("Interest"));
    TextAt(painter, legend, 250, QStringLiteral("Principal"));
    painter.setPen(interestPen);
    painter.drawLine(legend + 70, 210, legend + 100, 210);
    painter.setPen(principalPen);
    painter.drawLine(legend + 70, 260, legend + 100, 260);
}

const CPaymentChartDlg::Traces& CPaymentChartDlg::TracesFor(const LinePlot& plot) const {
    const brellow::LoanTerms terms = m_doc.GetTerms();
    if (m_traces && m_traces->terms == terms && m_traces->plot == plot) return *m_traces;
    const int periods = m_doc.GetScheduleLength();
    const double vScale = plot.height / FullPayment(m_doc);
    const double hScale = static_cast<double>(plot.width) / periods;
    Traces traces;
    traces.terms = terms;
    traces.plot = plot;
    SeriesTrace interest;
    SeriesTrace principal;
    brellow::ScheduleGenerator rows(m_doc, brellow::kAllYears);
    brellow::ScheduleRow row;
    for (std::int64_t i = 0; rows.Next(row); ++i) {
        const int x = plot.left + static_cast<int>(static_cast<double>(i) * hScale);
        interest.Add(x, plot.base - std::trunc(row.interest * vScale));
        principal.Add(x, plot.base - std::trunc(row.principal * vScale));
        if (i == 0) traces.first = row;
        const bool principalAhead = row.principal > row.interest;
        if (traces.crossing.period == 0 &&
            principalAhead != (traces.first.principal > traces.first.interest)) {
            traces.crossing = row;
        }
    }
    traces.last = row;
    traces.interest = interest.Finish();
    traces.principal = principal.Finish();
    m_traces = std::move(traces);
    return *m_traces;
}

void CPaymentChartDlg::ValueLabel(QPainter& painter, const LinePlot& plot, int top, double amount) {
    TextIn(painter, QRect(5, top, plot.left - 10, kLabelHeight), Qt::AlignRight,
           AmountLabel(amount));
}

void ShowPaymentChart(const brellow::CTamsicDoc& doc, QWidget* parent) {
    CPaymentChartDlg dialog(doc, parent);
    dialog.exec();
}
