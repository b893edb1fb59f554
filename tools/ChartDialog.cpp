#include "tools/ChartDialog.h"

#include "engine/CTamsicDoc.h"
#include "engine/FileIo.h"
#include "output/AmountFormat.h"
#include "tools/DialogUnits.h"
#include "tools/SaveFolders.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QSvgGenerator>

#include <string_view>

namespace {

// Every label stands on this patch, as text drawn in the opaque mode does.
const QColor kLabelPatch(218, 218, 218);
const QColor kPaper(Qt::white);
const QColor kInk(Qt::black);

const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kSvgFilter = QStringLiteral("SVG image (*.svg)");

enum class ImageFormat { None, Png, Svg };

ImageFormat FormatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return ImageFormat::Png;
    if (suffix == QLatin1String("svg")) return ImageFormat::Svg;
    return ImageFormat::None;
}

// Asks for the image file. The chosen type's suffix is added to a name without one before
// the dialog asks whether to replace a file, so the question is about the file written.
class ImageFileDialog final : public QFileDialog {
public:
    explicit ImageFileDialog(QWidget* parent)
        : QFileDialog(parent, QStringLiteral("Save Image As")) {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setNameFilters({kPngFilter, kSvgFilter});
    }

    void accept() override {
        setDefaultSuffix(selectedNameFilter() == kSvgFilter ? QStringLiteral("svg")
                                                            : QStringLiteral("png"));
        QFileDialog::accept();
    }
};

// Screen readers take the chart area for a picture (AT-SPI's image role).
QAccessibleInterface* ChartAreaAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String("ChartAreaWidget") || !object->isWidgetType()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
}

}  // namespace

// The picture on screen: the whole client area, under the "Close" button.
class ChartAreaWidget final : public QWidget {
    Q_OBJECT

public:
    explicit ChartAreaWidget(ChartDialog* dialog) : QWidget(dialog), m_dialog(dialog) {
        static const bool installed = (QAccessible::installFactory(ChartAreaAccessible), true);
        Q_UNUSED(installed);
        // Tab reaches it, so a screen reader reads its description.
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_dialog->Paint(painter);
        // On screen only: the picture itself is the same with and without the focus.
        if (hasFocus()) {
            QStyleOptionFocusRect frame;
            frame.initFrom(this);
            frame.rect = rect().adjusted(2, 2, -2, -2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
        }
    }

private:
    const ChartDialog* m_dialog;
};

bool IsChartImageName(const QString& path) {
    return FormatOfName(path) != ImageFormat::None;
}

bool CanChartLoan(const brellow::CTamsicDoc& doc) {
    return doc.GetNumPeriods() > 0;
}

ChartDialog::ChartDialog(const QString& caption, const QRect& clientUnits, const QRect& closeUnits,
                         QWidget* parent)
    : QDialog(parent),
      m_fixedSize(DialogUnitsToPixels(clientUnits).size()),
      m_closeRect(DialogUnitsToPixels(closeUnits)),
      m_area(new ChartAreaWidget(this)),
      m_close(new QPushButton(QStringLiteral("Close"), this)),
      m_copyImage(new QAction(QStringLiteral("Copy Image"), this)),
      m_saveImage(new QAction(QStringLiteral("Save Image As..."), this)) {
    setWindowTitle(caption);
    setFixedSize(m_fixedSize);
    m_area->setGeometry(rect());
    m_close->setGeometry(m_closeRect);
    // Return closes the window wherever the focus is, as it did when only the button took it.
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &ChartDialog::reject);

    m_chartFont = font();
    m_chartFont.setPixelSize(QFontInfo(m_chartFont).pixelSize());

    setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(m_copyImage);
    addAction(m_saveImage);
    connect(m_copyImage, &QAction::triggered, this, &ChartDialog::OnCopyImage);
    connect(m_saveImage, &QAction::triggered, this, &ChartDialog::OnSaveImageAs);
}

void ChartDialog::FitToLabels(const QString& name) {
    m_growth = NothingToChart().isEmpty() ? LabelGrowth().expandedTo(QSize(0, 0)) : QSize(0, 0);
    setFixedSize(NaturalSize());
    m_area->setGeometry(rect());
    // The button stays centred under the chart.
    m_close->setGeometry(m_closeRect.translated(m_growth.width() / 2, m_growth.height()));
    m_area->setAccessibleName(name);
    m_area->setAccessibleDescription(Description());
}

void ChartDialog::resizeEvent(QResizeEvent* event) {
    m_area->setGeometry(rect());
    QDialog::resizeEvent(event);
}

QImage ChartDialog::ChartImage() const {
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter);
    return image;
}

QString ChartDialog::SaveImage(const QString& path) const {
    const ImageFormat format = FormatOfName(path);
    if (format == ImageFormat::None) {
        return QStringLiteral("Cannot save %1: the name must end in .png or .svg.").arg(path);
    }
    // A picture is small: made whole in memory, it goes to the file through the same save
    // as every export, with its handling of links, pipes, devices and failures.
    QBuffer image;
    image.open(QIODevice::WriteOnly);
    bool made = false;
    if (format == ImageFormat::Png) {
        made = ChartImage().save(&image, "PNG");
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&image);
        svg.setSize(size());
        svg.setViewBox(rect());
        // The file gives its size in millimetres; at 96 dots an inch they are the pixels of
        // the screen's picture in every browser.
        svg.setResolution(96);
        svg.setTitle(windowTitle());
        QPainter painter(&svg);
        Paint(painter);
        made = painter.end();
    }
    if (!made) return QStringLiteral("Cannot save %1: the image could not be made.").arg(path);
    const QByteArray& bytes = image.data();
    const brellow::FileResult written = brellow::WriteFileAtomically(
        QFile::encodeName(path).toStdString(),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (written) return {};
    return QStringLiteral("Cannot save %1: %2.").arg(path, QString::fromStdString(written.reason));
}

ChartDialog::LinePlot ChartDialog::LinePlotIn(QSize outer) const {
    const int growth = m_growth.width();
    return {90 + growth, height() - 71, outer.width() - 270 - growth, outer.height() - 120};
}

void ChartDialog::DrawPlotFrame(QPainter& painter, const LinePlot& plot) {
    painter.drawPolyline(
        QPolygon({QPoint(plot.left, plot.Top()), QPoint(plot.left, plot.base),
                  QPoint(plot.Right(), plot.base), QPoint(plot.Right(), plot.Top())}));
    TextAt(painter, plot.left - 10, plot.base - 15, QStringLiteral("0"));
}

QString AmountLabel(double value) {
    return QString::fromStdString(brellow::FormatAmount(value));
}

void ChartDialog::TextAt(QPainter& painter, int x, int y, const QString& text) {
    const QSize extent = painter.fontMetrics().size(Qt::TextSingleLine, text);
    painter.drawText(QRect(QPoint(x, y), extent), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                     text);
}

void ChartDialog::TextIn(QPainter& painter, const QRect& box, Qt::Alignment alignment,
                         const QString& text) {
    painter.drawText(box, static_cast<int>(alignment | Qt::AlignTop) | Qt::TextDontClip, text);
}

void ChartDialog::Paint(QPainter& painter) const {
    painter.fillRect(rect(), kPaper);
    painter.setFont(m_chartFont);
    painter.setPen(kInk);
    painter.setBackground(kLabelPatch);
    painter.setBackgroundMode(Qt::OpaqueMode);
    const QString nothing = NothingToChart();
    if (nothing.isEmpty()) {
        PaintChart(painter);
    } else {
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.drawText(rect().adjusted(20, 20, -20, -60), Qt::AlignCenter | Qt::TextWordWrap,
                         nothing);
    }
}

void ChartDialog::OnCopyImage() {
    QApplication::clipboard()->setImage(ChartImage());
}

void ChartDialog::OnSaveImageAs() {
    ImageFileDialog dialog(this);
    // The chart is of the document its window shows, and that window names its file.
    const QWidget* const window = parentWidget() ? parentWidget()->window() : nullptr;
    const QString document = window ? window->windowFilePath() : QString();
    const QString kind = QStringLiteral("image");
    StartFileDialog(
        dialog, kind,
        document.isEmpty() ? QString() : NameWithSuffix(document, QStringLiteral("png")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    RememberFolder(kind, dialog.selectedFiles().first());
    const QString error = SaveImage(dialog.selectedFiles().first());
    if (!error.isEmpty()) QMessageBox::warning(this, QStringLiteral("Brellow"), error);
}

#include "ChartDialog.moc"
