#pragma once

// What the chart dialogs share: a window of fixed size with a "Close" button, a chart
// painted straight onto it at fixed pixel positions, and a context menu that keeps the
// picture ("Copy Image", "Save Image As...").
//
// Sizes are given in dialog units (DialogUnits.h), since every chart position is a fixed
// pixel.
//
// The picture is the client area without the button. The screen, the clipboard, PNG and
// SVG files all get it from the same PaintChart, in a font of fixed pixel size so that a
// file shows the text as large as the screen does. A chart is a figure: it is drawn on
// white paper in black ink whatever the desktop's colours, so a dark theme leaves it as
// readable as a printed one.
//
// A chart whose labels need more room than the fixed size gives (amounts of a million and
// more) grows the window by as much, and keeps its plot the size it was; an ordinary loan
// keeps the fixed size to the pixel. Screen readers read the chart area as an image with
// the chart's name and a description of what it shows in figures.

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>

class QAction;
class QImage;
class QPainter;
class QPushButton;

namespace brellow {
class CTamsicDoc;
}

// A money amount of a label or description, as the program writes amounts.
QString AmountLabel(double value);

// Whether `path` ends in ".png" or ".svg" (either case), the names SaveImage writes.
bool IsChartImageName(const QString& path);

// Whether the chart commands may run for the document: it has at least one period.
bool CanChartLoan(const brellow::CTamsicDoc& doc);

// The dialog of the line charts, in dialog units: the payment chart's, which the balance
// chart shares.
inline constexpr QRect kLineChartClientUnits(0, 0, 493, 228);
inline constexpr QRect kLineChartCloseUnits(221, 208, 50, 14);

class ChartDialog : public QDialog {
    Q_OBJECT

public:
    // The client area and the "Close" button's rectangle, in dialog units.
    ChartDialog(const QString& caption, const QRect& clientUnits, const QRect& closeUnits,
                QWidget* parent);

    // The picture as the screen shows it, at the client area's size.
    QImage ChartImage() const;
    // Writes the picture to `path`, as SVG when the name ends in ".svg" and as PNG when it
    // ends in ".png" (either case); returns the message that names the file and the reason
    // when it cannot, else an empty text. Saved as the exports are: the old file stays whole
    // when writing fails, and a link, a pipe or a device is written through, not replaced.
    QString SaveImage(const QString& path) const;

    QAction* CopyImageAction() const noexcept { return m_copyImage; }
    QAction* SaveImageAction() const noexcept { return m_saveImage; }
    // The widget the picture is painted on, which carries its text alternative.
    QWidget* ChartArea() const noexcept { return m_area; }

    // The text shown instead of a chart that cannot be drawn; empty when there is a chart.
    virtual QString NothingToChart() const = 0;
    // What the chart shows in figures, for those who cannot see it (the "nothing to chart"
    // text where there is no chart).
    virtual QString Description() const = 0;

protected:
    // Draws the chart onto a device of the client area's size whose background is
    // already filled. The painter has the chart font, a black pen and grey text patches.
    virtual void PaintChart(QPainter& painter) const = 0;
    // How much wider and taller than the fixed size the labels need the picture to be.
    virtual QSize LabelGrowth() const { return {}; }

    // Sizes the window for the labels and names and describes the chart area: each chart
    // calls it once its values are set. `name` is the chart's short accessible name.
    void FitToLabels(const QString& name);
    // The fixed size with the growth FitToLabels gave it: the size of the picture before any
    // other size is set.
    QSize NaturalSize() const noexcept { return m_fixedSize + m_growth; }
    const QFont& ChartFont() const noexcept { return m_chartFont; }

    // The plot of a line chart in a window whose outer size (caption and borders included,
    // where the chart's arithmetic counts them) is `outer`: the base line lies 71 pixels
    // above the bottom (y = 300 at the fixed size) and the left edge at x = 90 plus the
    // labels' growth; the plot is 270 pixels narrower and 120 lower than `outer`, less the
    // growth.
    struct LinePlot {
        int left = 0;
        int base = 0;
        int width = 0;
        int height = 0;
        int Top() const noexcept { return base - height; }
        int Right() const noexcept { return left + width; }
        friend bool operator==(const LinePlot&, const LinePlot&) = default;
    };
    LinePlot LinePlotIn(QSize outer) const;
    // The plot's frame, open at the top, and the "0" beside its base line.
    static void DrawPlotFrame(QPainter& painter, const LinePlot& plot);

    // Text with its top-left corner at (x, y).
    static void TextAt(QPainter& painter, int x, int y, const QString& text);
    // Text aligned in `box` (right or centred) from its top; wider text is not cut.
    static void TextIn(QPainter& painter, const QRect& box, Qt::Alignment alignment,
                       const QString& text);

    void resizeEvent(QResizeEvent* event) override;

private:
    friend class ChartAreaWidget;

    // Background, painter state and PaintChart (or the "nothing to chart" text).
    void Paint(QPainter& painter) const;
    void OnCopyImage();
    void OnSaveImageAs();

    QFont m_chartFont;
    QSize m_fixedSize;
    QSize m_growth{0, 0};
    QRect m_closeRect;
    QWidget* m_area;
    QPushButton* m_close;
    QAction* m_copyImage;
    QAction* m_saveImage;
};
