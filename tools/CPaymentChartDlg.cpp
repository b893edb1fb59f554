#include "tools/CPaymentChartDlg.h"

#include "engine/CTamsicDoc.h"
#include "engine/Schedule.h"
#include "output/AmountFormat.h"

#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QVector>

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

// One series as a polyline with at most four points to a pixel column: where it enters
// the column, its lowest and its highest point there, and where it leaves. The lines
// between them cover exactly what the lines between all of the column's points cover.
class SeriesTrace {
public:
    void Add(int x, double y) {
        if (m_open && x == m_x) {
            m_low = std::min(m_low, y);
            m_high = std::max(m_high, y);
            m_last = y;
            return;
        }
        Flush();
        m_open = true;
        m_x = x;
        m_first = m_low = m_high = m_last = y;
    }

    std::vector<QPointF> Finish() {
        Flush();
        return std::move(m_points);
    }

private:
    void Flush() {
        if (!m_open) return;
        for (const double y : {m_first, m_low, m_high, m_last}) {
            const bool repeated =
                !m_points.empty() && m_points.back().x() == m_x && m_points.back().y() == y;
            if (!repeated) m_points.emplace_back(m_x, y);
        }
    }

    std::vector<QPointF> m_points;
    bool m_open = false;
    int m_x = 0;
    double m_first = 0.0;
    double m_low = 0.0;
    double m_high = 0.0;
    double m_last = 0.0;
};

// Cuts the line a–b to the rows from `top` to `bottom`; false when none of it lies there.
// A balloon's final step reaches millions of pixels above the window.
bool ClipToRows(QPointF& a, QPointF& b, double top, double bottom) {
    if (!std::isfinite(a.y()) || !std::isfinite(b.y())) return false;
    if ((a.y() < top && b.y() < top) || (a.y() > bottom && b.y() > bottom)) return false;
    const auto pull = [top, bottom](QPointF& end, const QPointF& other) {
        const double edge = std::clamp(end.y(), top, bottom);
        if (edge == end.y()) return;
        const double t = (edge - end.y()) / (other.y() - end.y());
        end = QPointF(end.x() + t * (other.x() - end.x()), edge);
    };
    pull(a, b);
    pull(b, a);
    return true;
}

void DrawSeries(QPainter& painter, const QPen& pen, const std::vector<QPointF>& points, double top,
                double bottom) {
    QVector<QLineF> lines;
    lines.reserve(static_cast<qsizetype>(points.size()));
    for (std::size_t i = 1; i < points.size(); ++i) {
        QPointF a = points[i - 1];
        QPointF b = points[i];
        if (ClipToRows(a, b, top, bottom)) lines.append(QLineF(a, b));
    }
    painter.setPen(pen);
    painter.drawLines(lines);
}

QPen SeriesPen(const QColor& colour) {
    // Wide lines end and join round, so a series has no notches where its segments meet.
    return QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
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
    const double hScale = static_cast<double>(width) / periods;
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

    SeriesTrace interest;
    SeriesTrace principal;
    brellow::ScheduleGenerator rows(m_doc, brellow::kAllYears);
    brellow::ScheduleRow row;
    for (std::int64_t i = 0; rows.Next(row); ++i) {
        const int x = kLeft + static_cast<int>(static_cast<double>(i) * hScale);
        interest.Add(x, kBase - std::trunc(row.interest * vScale));
        principal.Add(x, kBase - std::trunc(row.principal * vScale));
    }
    const QPen interestPen = SeriesPen(kInterestColour);
    const QPen principalPen = SeriesPen(kPrincipalColour);
    const double clipTop = -10.0;
    const double clipBottom = this->height() + 10.0;
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSeries(painter, interestPen, interest.Finish(), clipTop, clipBottom);
    DrawSeries(painter, principalPen, principal.Finish(), clipTop, clipBottom);

    painter.setPen(Qt::black);
    TextAt(painter, width + 160, 150, QStringLiteral("Legends"));
    TextAt(painter, width + 130, 200, QStringLiteral("Interest"));
    TextAt(painter, width + 130, 250, QStringLiteral("Principal"));
    painter.setPen(interestPen);
    painter.drawLine(width + 200, 210, width + 230, 210);
    painter.setPen(principalPen);
    painter.drawLine(width + 200, 260, width + 230, 260);
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
