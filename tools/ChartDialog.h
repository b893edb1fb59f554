#pragma once

// What the two chart dialogs share: a window of fixed size with a "Close" button, a chart
// painted straight onto it at fixed pixel positions, and a context menu that keeps the
// picture ("Copy Image", "Save Image As...").
//
// Sizes are given in dialog units (DialogUnits.h), since every chart position is a fixed
// pixel.
//
// The picture is the client area without the button. The screen, the clipboard, PNG and
// SVG files all get it from the same PaintChart, on the window's background, in a font
// of fixed pixel size so that a file shows the text as large as the screen does.

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>

class QAction;
class QImage;
class QPainter;

namespace brellow {
class CTamsicDoc;
}

// Whether the chart commands may run for the document: it has at least one period.
bool CanChartLoan(const brellow::CTamsicDoc& doc);

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

    // The text shown instead of a chart that cannot be drawn; empty when there is a chart.
    virtual QString NothingToChart() const = 0;

protected:
    // Draws the chart onto a device of the client area's size whose background is
    // already filled. The painter has the chart font, a black pen and grey text patches.
    virtual void PaintChart(QPainter& painter) const = 0;

    // Text with its top-left corner at (x, y).
    static void TextAt(QPainter& painter, int x, int y, const QString& text);
    // Text aligned in `box` (right or centred) from its top; wider text is not cut.
    static void TextIn(QPainter& painter, const QRect& box, Qt::Alignment alignment,
                       const QString& text);

    void paintEvent(QPaintEvent* event) override;

private:
    // Background, painter state and PaintChart (or the "nothing to chart" text).
    void Paint(QPainter& painter) const;
    void OnCopyImage();
    void OnSaveImageAs();

    QFont m_chartFont;
    QAction* m_copyImage;
    QAction* m_saveImage;
};
