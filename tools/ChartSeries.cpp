#include "tools/ChartSeries.h"

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QVector>

#include <algorithm>
#include <cmath>

void SeriesTrace::Add(int x, double y) {
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

std::vector<QPointF> SeriesTrace::Finish() {
    Flush();
    m_open = false;
    return std::move(m_points);
}

void SeriesTrace::Flush() {
    if (!m_open) return;
    for (const double y : {m_first, m_low, m_high, m_last}) {
        const bool repeated =
            !m_points.empty() && m_points.back().x() == m_x && m_points.back().y() == y;
        if (!repeated) m_points.emplace_back(m_x, y);
    }
}

QPen SeriesPen(const QColor& colour) {
    return QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

namespace {

// Cuts the line a–b to the rows from `top` to `bottom`; false when none of it lies there.
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

}  // namespace

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
