#include "view/PrintOutput.h"

#include "engine/FileIo.h"
#include "output/ChunkedOutput.h"
#include "view/LoanPrinter.h"

#include <QAction>
#include <QFile>
#include <QIODevice>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace {

// Hands the PDF writer's many small writes to an atomic file in large pieces.
class AtomicFileDevice final : public QIODevice {
public:
    explicit AtomicFileDevice(brellow::AtomicFile& file) : m_output(file) { open(WriteOnly); }

    bool isSequential() const override { return true; }
    bool Flush() { return m_output.Flush(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        m_output.Buffer().append(data, static_cast<std::size_t>(size));
        return m_output.Pass() ? size : -1;
    }

private:
    brellow::ChunkedOutput m_output;
};

// The pages the person chose in the print dialog; none for all of them.
QPageRanges ChosenPages(const QPrinter& printer) {
    return printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
}

// While a preview collects its pages, the printer paints into pictures of them.
bool IsPreviewing(QPrinter& printer) {
    const QPaintEngine* const engine = printer.paintEngine();
    return engine && engine->type() == QPaintEngine::Picture;
}

void ShowFailure(QWidget* parent, const QString& message) {
    QMessageBox::warning(parent, QStringLiteral("Brellow"), message);
}

}  // namespace

QString PrintOn(const LoanPrinter& loan, QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        if (printer.outputFileName().isEmpty()) {
            return QStringLiteral("Cannot print: there is no printer and no PDF file was named.");
        }
        return PrintToPdf(loan, printer.outputFileName(), printer.pageLayout(),
                          printer.resolution(), ChosenPages(printer));
    }
    printer.setDocName(loan.Title());
    const QString failed =
        QStringLiteral("Cannot print on %1: the printing system refused the job.")
            .arg(printer.printerName());
    QPainter painter;
    if (!painter.begin(&printer)) return failed;
    const bool drawn = loan.Draw(painter, printer, ChosenPages(printer));
    if (!drawn) printer.abort();
    const bool ended = painter.end();
    if (!drawn || !ended || printer.printerState() == QPrinter::Error) return failed;
    return {};
}

QString PrintToPdf(const LoanPrinter& loan, const QString& path, const QPageLayout& layout,
                   int resolution, const QPageRanges& pages) {
    const auto failed = [&path](const std::string& reason) {
        return QStringLiteral("Cannot write %1: %2.").arg(path, QString::fromStdString(reason));
    };
    brellow::AtomicFile file(QFile::encodeName(path).toStdString());
    if (!file.Status()) return failed(file.Status().reason);
    {
        AtomicFileDevice device(file);
        QPdfWriter writer(&device);
        writer.setResolution(resolution);
        writer.setPageLayout(layout);
        writer.setTitle(loan.Title());
        writer.setCreator(QStringLiteral("Brellow"));
        QPainter painter;
        if (!painter.begin(&writer)) return failed("the PDF writer could not start");
        const bool drawn = loan.Draw(painter, writer, pages);
        painter.end();
        if (!drawn) return failed("a page could not be started");
        device.Flush();
    }
    const brellow::FileResult written = file.Commit();
    return written ? QString() : failed(written.reason);
}

bool PrintWithDialog(const LoanPrinter& loan, QPrinter& printer, QWidget* parent) {
    const int pages = loan.CountPages(PrintArea::Of(printer));
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pages);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(1, pages);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QString failure = PrintOn(loan, printer);
    if (failure.isEmpty()) return true;
    ShowFailure(parent, failure);
    return false;
}

int PreviewWithDialog(const LoanPrinter& loan, QPrinter& printer, int pagesSideBySide,
                      QWidget* parent) {
    // A range chosen for an earlier print must not cut what the preview's Print button prints.
    printer.setPrintRange(QPrinter::AllPages);
    QPrintPreviewDialog dialog(&printer, parent);
    QString failure;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&loan, &failure](QPrinter* target) {
                         if (!IsPreviewing(*target)) {
                             failure = PrintOn(loan, *target);
                             return;
                         }
                         QPainter painter(target);
                         loan.Draw(painter, *target);
                     });
    const char* const mode = pagesSideBySide == 2 ? "facingModeAction" : "singleModeAction";
    if (auto* const action = dialog.findChild<QAction*>(QLatin1String(mode))) action->trigger();
    dialog.exec();
    if (!failure.isEmpty()) ShowFailure(parent, failure);
    const auto* const preview = dialog.findChild<QPrintPreviewWidget*>();
    switch (preview ? preview->viewMode() : QPrintPreviewWidget::AllPagesView) {
        case QPrintPreviewWidget::SinglePageView:
            return 1;
        case QPrintPreviewWidget::FacingPagesView:
            return 2;
        default:
            return pagesSideBySide;
    }
}
