#include "view/PrintOutput.h"

#include "engine/FileIo.h"
#include "output/ChunkedOutput.h"
#include "view/LoanPrinter.h"
#include "view/PageDeflate.h"
#include "view/PrintPreviewDialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <string>
#include <utility>

namespace {

// Hands the PDF writer's many small writes to a file or standard output in large pieces.
class SinkDevice final : public QIODevice {
public:
    explicit SinkDevice(brellow::ByteSink& sink) : m_output(sink) { open(WriteOnly); }

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

enum class RunEnd { Done, Stopped, Refused };

// Keeps large blocks on the heap while pages are drawn. The PDF engine compresses each page
// through buffers of 10 MiB that it frees again; glibc would take such blocks from the system
// and give them back for every page, with a page fault for every 4 KiB used, about a third
// of the time a long PDF takes. Afterwards glibc's starting thresholds return, and the memory.
class HeapForPages {
public:
#ifdef __GLIBC__
    HeapForPages() {
        mallopt(M_MMAP_THRESHOLD, kLargestOnHeap);
        mallopt(M_TRIM_THRESHOLD, 2 * kLargestOnHeap);
    }
    ~HeapForPages() {
        mallopt(M_MMAP_THRESHOLD, kGlibcStart);
        mallopt(M_TRIM_THRESHOLD, kGlibcStart);
        malloc_trim(0);
    }

private:
    static constexpr int kLargestOnHeap = 32 << 20;  // glibc's limit
    static constexpr int kGlibcStart = 128 << 10;
#endif
};

// Draws the pages of `run`, telling `progress` of each before it is drawn.
RunEnd DrawPages(PrintRun& run, const PrintProgress& progress) {
    const HeapForPages heap;
    while (const int page = run.NextPage()) {
        if (progress && !progress(page, run.Drawn(), run.PageCount())) return RunEnd::Stopped;
        if (!run.DrawNext()) return RunEnd::Refused;
    }
    return RunEnd::Done;
}

// The page being printed and Cancel, shown once a print has taken a moment. Between pages
// the windows repaint; they take no input until the dialog is up, and then it is modal, so
// nothing can close the document being printed.
class PrintProgressDialog {
public:
    explicit PrintProgressDialog(QWidget* parent) : m_dialog(parent) {
        m_dialog.setWindowTitle(QStringLiteral("Brellow"));
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(kShowAfterMs);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        m_clock.start();
    }

    PrintProgress Progress() {
        return [this](int page, int done, int total) {
            if (done > 0 && m_clock.elapsed() < kEventsEveryMs) return true;
            m_clock.restart();
            m_dialog.setMaximum(total);
            m_dialog.setLabelText(QStringLiteral("Printing page %L1...").arg(page));
            m_dialog.setValue(done);
            QCoreApplication::processEvents(m_dialog.isVisible()
                                                ? QEventLoop::AllEvents
                                                : QEventLoop::ExcludeUserInputEvents);
            return !m_dialog.wasCanceled();
        };
    }
    bool Cancelled() const { return m_dialog.wasCanceled(); }

private:
    static constexpr int kShowAfterMs = 500;
    // Often enough for smooth repainting, seldom enough to cost the print nothing.
    static constexpr int kEventsEveryMs = 20;

    QProgressDialog m_dialog;
    QElapsedTimer m_clock;
};

void ShowFailure(QWidget* parent, const QString& message) {
    QMessageBox::warning(parent, QStringLiteral("Brellow"), message);
}

}  // namespace

QString PrintOn(const LoanPrinter& loan, QPrinter& printer, const PrintProgress& progress) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        if (printer.outputFileName().isEmpty()) {
            return QStringLiteral("Cannot print: there is no printer and no PDF file was named.");
        }
        return PrintToPdf(loan, printer.outputFileName(), printer.pageLayout(),
                          printer.resolution(), ChosenPages(printer), progress);
    }
    printer.setDocName(loan.Title());
    const QString failed =
        QStringLiteral("Cannot print on %1: the printing system refused the job.")
            .arg(printer.printerName());
    const FastPageDeflate deflate;  // a printer's job goes out as PDF too
    QPainter painter;
    if (!painter.begin(&printer)) return failed;
    RunEnd end;
    {
        PrintRun run(loan, painter, printer, ChosenPages(printer));
        end = DrawPages(run, progress);
    }
    if (end != RunEnd::Done) printer.abort();
    const bool ended = painter.end();
    if (end == RunEnd::Stopped) return {};
    if (end == RunEnd::Refused || !ended || printer.printerState() == QPrinter::Error) {
        return failed;
    }
    return {};
}

namespace {

// Writes the printout as PDF into `sink`. Refused comes with the reason, unless the sink
// refused the bytes: its owner knows why.
std::pair<RunEnd, std::string> WritePdf(const LoanPrinter& loan, brellow::ByteSink& sink,
                                        const QPageLayout& layout, int resolution,
                                        const QPageRanges& pages, const PrintProgress& progress) {
    const FastPageDeflate deflate;
    SinkDevice device(sink);
    QPdfWriter writer(&device);
    writer.setResolution(resolution);
    writer.setPageLayout(layout);
    writer.setTitle(loan.Title());
    writer.setCreator(QStringLiteral("Brellow"));
    QPainter painter;
    if (!painter.begin(&writer)) return {RunEnd::Refused, "the PDF writer could not start"};
    RunEnd end;
    {
        PrintRun run(loan, painter, writer, pages);
        end = DrawPages(run, progress);
    }
    painter.end();
    if (end == RunEnd::Refused) return {end, "a page could not be started"};
    if (end == RunEnd::Done && !device.Flush()) return {RunEnd::Refused, {}};
    return {end, {}};
}

QString CannotWrite(const QString& name, const std::string& reason) {
    return QStringLiteral("Cannot write %1: %2.").arg(name, QString::fromStdString(reason));
}

}  // namespace

QString PrintToPdf(const LoanPrinter& loan, const QString& path, const QPageLayout& layout,
                   int resolution, const QPageRanges& pages, const PrintProgress& progress) {
    brellow::AtomicFile file(QFile::encodeName(path).toStdString());
    if (!file.Status()) return CannotWrite(path, file.Status().reason);
    const auto [end, reason] = WritePdf(loan, file, layout, resolution, pages, progress);
    // Uncommitted, the file's temporary goes with it.
    if (end == RunEnd::Stopped) return {};
    if (!reason.empty()) return CannotWrite(path, reason);
    const brellow::FileResult written = file.Commit();
    return written ? QString() : CannotWrite(path, written.reason);
}

QString PrintToPdf(const LoanPrinter& loan, brellow::ByteSink& sink, const QString& name,
                   const QPageLayout& layout, int resolution, const PrintProgress& progress) {
    const auto [end, reason] = WritePdf(loan, sink, layout, resolution, {}, progress);
    if (end != RunEnd::Refused) return {};
    return reason.empty() ? QStringLiteral("Cannot write %1.").arg(name)
                          : CannotWrite(name, reason);
}

bool PrintWithDialog(const LoanPrinter& loan, QPrinter& printer, QWidget* parent) {
    const int pages = loan.CountPages(PrintArea::Of(printer));
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pages);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(1, pages);
    if (dialog.exec() != QDialog::Accepted) return false;
    PrintProgressDialog progress(parent);
    const QString failure = PrintOn(loan, printer, progress.Progress());
    if (failure.isEmpty()) return !progress.Cancelled();
    ShowFailure(parent, failure);
    return false;
}

int PreviewWithDialog(const LoanPrinter& loan, QPrinter& printer, int pagesSideBySide,
                      QWidget* parent) {
    int shown = pagesSideBySide;
    bool print = false;
    {
        PrintPreviewDialog dialog(loan, printer, pagesSideBySide, parent);
        print = dialog.exec() == PrintPreviewDialog::PrintChosen;
        shown = dialog.PagesSideBySide();
    }
    if (print) PrintWithDialog(loan, printer, parent);
    return shown;
}
