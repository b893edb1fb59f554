#include "tools/CTotalChartDlg.h"

#include "engine/CTamsicDoc.h"
#include "engine/Payoff.h"
#include "output/AmountFormat.h"

#include <QBrush>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace {

// The interest share's angle is share × kTurn, a constant a little above 2π.
constexpr double kTurn = 6.283186;
constexpr double kFullTurn = 2 * std::numbers::pi;
const QColor kInterestColour(238, 0, 0);
const QColor kPrincipalColour(0, 0, 238);

// The labels' left edges, beside each slice.
constexpr int kInterestLabels = 315;
constexpr int kPrincipalLabels = 305;
constexpr int kMargin = 5;

// "%.2f" of a share in percent, followed by "%", whatever the locale.
QString Percent(double fraction) {
    std::string text;
    brellow::AppendPlainAmount(text, fraction * 100.0);
    return QString::fromStdString(text) + QLatin1Char('%');
}

QPoint PointAt(QPoint centre, double angle) {
    return {static_cast<int>(centre.x() + 100 * std::cos(angle)),
            static_cast<int>(centre.y() - 100 * std::sin(angle))};
}

// Degrees counter-clockwise from three o'clock of the direction from `centre` to `point`.
double DegreesTo(QPointF centre, QPoint point) {
    return std::atan2(centre.y() - point.y(), point.x() - centre.x()) * 180.0 / std::numbers::pi;
}

// The slice of the circle in `box` from the direction of `from` counter-clockwise to that
// of `to`, a slice meant to turn through `sweep` radians. The end points are whole pixels,
// so where they meet the sweep decides between nothing and the full circle, and a sweep of
// no turn or of a full turn is that whatever the points say.
void DrawSlice(QPainter& painter, const QRectF& box, QPoint from, QPoint to, double sweep) {
    if (!(sweep > 0.0)) return;
    QPainterPath slice;
    const double start = DegreesTo(box.center(), from);
    const double span = std::fmod(DegreesTo(box.center(), to) - start + 720.0, 360.0);
    if (sweep >= kFullTurn || (span == 0.0 && sweep > kFullTurn / 2)) {
        slice.addEllipse(box);
    } else if (span == 0.0) {
        return;
    } else {
        slice.moveTo(box.center());
        slice.arcTo(box, start, span);
        slice.closeSubpath();
    }
    painter.drawPath(slice);
}

}  // namespace

CTotalChartDlg::CTotalChartDlg(double loanAmount, double totalInterest, QWidget* parent)
    : ChartDialog(QStringLiteral("Total Payment Distribution Chart"), QRect(0, 0, 283, 214),
                  QRect(115, 189, 50, 14), parent),
      m_dLoanAmount(loanAmount),
      m_dTotalInterest(totalInterest) {
    FitToLabels(QStringLiteral("Total principal and interest"));
}

CTotalChartDlg::CTotalChartDlg(const brellow::CTamsicDoc& doc, QWidget* parent)
    : CTotalChartDlg(doc.GetLoanAmount(), brellow::ComputePayoffFigures(doc).totalInterest,
                     parent) {}

QString CTotalChartDlg::NothingToChart() const {
    if (m_dLoanAmount == 0.0) return QStringLiteral("Nothing to chart: the loan amount is $0.00.");
    // A negative part would give shares below 0 % and above 100 %.
    const QString partOfNoWhole = QStringLiteral(
        "Nothing to chart: the %1 is negative (%2), so principal and interest "
        "are not parts of one whole.");
    if (m_dLoanAmount < 0.0) {
        return partOfNoWhole.arg(u"loan amount", AmountLabel(m_dLoanAmount));
    }
    if (m_dTotalInterest < 0.0) {
        return partOfNoWhole.arg(u"total interest", AmountLabel(m_dTotalInterest));
    }
    return {};
}

QString CTotalChartDlg::Description() const {
    const QString nothing = NothingToChart();
    if (!nothing.isEmpty()) return nothing;
    const double share = m_dTotalInterest / (m_dLoanAmount + m_dTotalInterest);
    return QStringLiteral("Of %1 paid in all, the principal is %2 (%3) and the interest %4 (%5).")
        .arg(AmountLabel(m_dLoanAmount + m_dTotalInterest), AmountLabel(m_dLoanAmount),
             Percent(1.0 - share), AmountLabel(m_dTotalInterest), Percent(share));
}

QSize CTotalChartDlg::LabelGrowth() const {
    const QFontMetrics metrics(ChartFont());
    const auto end = [&metrics](int left, const QString& text) {
        return left + metrics.horizontalAdvance(text);
    };
    const double share = m_dTotalInterest / (m_dLoanAmount + m_dTotalInterest);
    const int right = std::max({end(kInterestLabels, AmountLabel(m_dTotalInterest)),
                                end(kInterestLabels, Percent(share)),
                                end(kPrincipalLabels, AmountLabel(m_dLoanAmount)),
                                end(kPrincipalLabels, Percent(1.0 - share))});
    return {right + kMargin - width(), 0};
}

void CTotalChartDlg::PaintChart(QPainter& painter) const {
    const double share = m_dTotalInterest / (m_dLoanAmount + m_dTotalInterest);
    const double angle = share * kTurn;
    // Another size shows the window's own picture scaled to fit, centred.
    const QSize natural = NaturalSize();
    if (size() != natural) {
        const double scale = std::min(static_cast<double>(width()) / natural.width(),
                                      static_cast<double>(height()) / natural.height());
        painter.translate((width() - natural.width() * scale) / 2,
                          (height() - natural.height() * scale) / 2);
        painter.scale(scale, scale);
    }

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(kInterestColour);
    DrawSlice(painter, QRectF(110, 40, 200, 200), QPoint(310, 140), PointAt({210, 140}, angle),
              angle);
    TextAt(painter, kInterestLabels, 80, QStringLiteral("Interest"));
    TextAt(painter, kInterestLabels, 100, AmountLabel(m_dTotalInterest));
    TextAt(painter, kInterestLabels, 120, Percent(share));

    painter.setBrush(kPrincipalColour);
    DrawSlice(painter, QRectF(100, 50, 200, 200), PointAt({200, 150}, angle), QPoint(300, 150),
              kFullTurn - angle);
    TextAt(painter, kPrincipalLabels, 170, QStringLiteral("Principal"));
    TextAt(painter, kPrincipalLabels, 190, AmountLabel(m_dLoanAmount));
    TextAt(painter, kPrincipalLabels, 210, Percent(1.0 - share));
}

void ShowTotalChart(const brellow::CTamsicDoc& doc, QWidget* parent) {
    CTotalChartDlg dialog(doc, parent);
    dialog.exec();
}
