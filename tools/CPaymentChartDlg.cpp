#include "tools/CPaymentChartDlg.h"

#include "engine/CTamsicDoc.h"
#include "tools/ChartSeries.h"
#include "engine/Schedule.h"
#include "output/AmountFormat.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kBase = 300;
constexpr int kLeft = 90;
const QColor kInterestColour(238, 0, 0);
const QColor kPrincipalColour(0, 0, 238);

QString Amount(double value) {
    return QString::fromStdString(brellow::FormatAmount(value));
}

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

}  // namespace

CPaymentChartDlg::CPaymentChartDlg(const brellow::CTamsicDoc& doc, QWidget* parent)
    : ChartDialog(QStringLiteral("Individual Payment Distribution Chart"), QRect(0, 0, 493, 228),
                  QRect(221, 208, 50, 14), parent),
      m_doc(doc) {}

QString CPaymentChartDlg::NothingToChart() const {
    if (FullPayment(m_doc) != 0.0) return {};
    return QStringLiteral(
        "Nothing to chart: the payment per period, additional payment included, is $0.00.");
}

void CPaymentChartDlg::PaintChart(QPainter& painter) const {
    const int periods = m_doc.GetScheduleLength();
    const double amount = m_doc.GetLoanAmount();
    const double full = FullPayment(m_doc);
    const double rate = m_doc.GetPeriodicRate();
    const QSize outer = frameGeometry().size();
    const int width = outer.width() - 270;
    const int height = outer.height() - 120;
    const double vScale = height / full;
    const int top = kBase - height;

    painter.drawPolyline(QPolygon({QPoint(kLeft, top), QPoint(kLeft, kBase),
                                   QPoint(kLeft + width, kBase), QPoint(kLeft + width, top)}));

    TextAt(painter, kLeft, kBase + 2, QStringLiteral("1"));
    TextAt(painter, kLeft - 1 + width, kBase + 2, QString::number(periods));
    const int middle = kLeft + width / 2;
    TextIn(painter, QRect(middle - 20, kBase + 2, 40, 30), Qt::AlignHCenter,
           QStringLiteral("Period"));
    TextAt(painter, 80, 285, QStringLiteral("0"));

    // The first interest's label moves below the top one, the first principal's above the
    // "0".
    const int topBottom = top + 10;
    ValueLabel(painter, top - 5, full);
    const double firstInterest = rate * amount;
    const int interestY = kBase - LabelOffset(vScale * rate * amount);
    ValueLabel(painter, interestY - 10 < topBottom ? topBottom + 5 : interestY - 5, firstInterest);
    const double firstPrincipal = full - firstInterest;
    const int principalY = kBase - LabelOffset(firstPrincipal * vScale);
    ValueLabel(painter, principalY + 10 + 5 > 285 ? 265 : principalY - 5, firstPrincipal);

    const Traces& traces = TracesFor(width, height);
    const QPen interestPen = SeriesPen(kInterestColour);
    const QPen principalPen = SeriesPen(kPrincipalColour);
    const double clipTop = -10.0;
    const double clipBottom = this->height() + 10.0;
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSeries(painter, interestPen, traces.interest, clipTop, clipBottom);
    DrawSeries(painter, principalPen, traces.principal, clipTop, clipBottom);

    painter.setPen(Qt::black);
    TextAt(painter, width + 160, 150, QStringLiteral("Legends"));
    TextAt(painter, width + 130, 200, QStringLiteral("Interest"));
    TextAt(painter, width + 130, 250, QStringLiteral("Principal"));
    painter.setPen(interestPen);
    painter.drawLine(width + 200, 210, width + 230, 210);
    painter.setPen(principalPen);
    painter.drawLine(width + 200, 260, width + 230, 260);
}

const CPaymentChartDlg::Traces& CPaymentChartDlg::TracesFor(int width, int height) const {
    const brellow::LoanTerms terms = m_doc.GetTerms();
    if (m_traces && m_traces->terms == terms && m_traces->width == width &&
        m_traces->height == height) {
        return *m_traces;
    }
    const int periods = m_doc.GetScheduleLength();
    const double vScale = height / FullPayment(m_doc);
    const double hScale = static_cast<double>(width) / periods;
    SeriesTrace interest;
    SeriesTrace principal;
    brellow::ScheduleGenerator rows(m_doc, brellow::kAllYears);
    brellow::ScheduleRow row;
    for (std::int64_t i = 0; rows.Next(row); ++i) {
        const int x = kLeft + static_cast<int>(static_cast<double>(i) * hScale);
        interest.Add(x, kBase - std::trunc(row.interest * vScale));
        principal.Add(x, kBase - std::trunc(row.principal * vScale));
    }
    m_traces = Traces{terms, width, height, interest.Finish(), principal.Finish()};
    return *m_traces;
}

void CPaymentChartDlg::ValueLabel(QPainter& painter, int top, double amount) {
    const QString text = Amount(amount);
    const int width = painter.fontMetrics().horizontalAdvance(text);
    const QRect box = width > 85 ? QRect(0, top, width, 15) : QRect(5, top, 80, 15);
    TextIn(painter, box, Qt::AlignRight, text);
}

void ShowPaymentChart(const brellow::CTamsicDoc& doc, QWidget* parent) {
    CPaymentChartDlg dialog(doc, parent);
    dialog.exec();
}
