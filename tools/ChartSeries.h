#pragma once

// Line series of the charts, reduced to what a pixel column can show.
//
// A long loan has far more payments than the plot has pixel columns (400,000 weekly
// payments in 470 columns). A series keeps, for each column, where it enters the column,
// its lowest and highest point there and where it leaves: the lines between those four
// points cover exactly what the lines between all of the column's points would, and
// number a few thousand instead of 800,000. The reduction is made once per change of the
// terms or of the plot's size; painting draws the kept points.

#include <QPen>
#include <QPointF>

#include <vector>

class QColor;
class QPainter;

class SeriesTrace {
public:
    // The next point of the series; x never decreases.
    void Add(int x, double y);
    // The reduced polyline; the trace is empty afterwards.
    std::vector<QPointF> Finish();

private:
    void Flush();

    std::vector<QPointF> m_points;
    bool m_open = false;
    int m_x = 0;
    double m_first = 0.0;
    double m_low = 0.0;
    double m_high = 0.0;
    double m_last = 0.0;
};

// A series' pen: wide lines end and join round, so a series has no notches where its
// segments meet.
QPen SeriesPen(const QColor& colour);

// Draws the polyline, each line cut to the rows from `top` to `bottom` (a balloon's final
// step reaches millions of pixels above the window).
void DrawSeries(QPainter& painter, const QPen& pen, const std::vector<QPointF>& points, double top,
                double bottom);
