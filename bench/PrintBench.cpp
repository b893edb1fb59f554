// Printing the loans of BenchLoans.h to a PDF file, A4 at 600 dpi with the margins of Qt's
// printer (the weekly loan takes 7,144 pages): the page count the print dialog asks for
// first, and the whole printout beside its reference, the text export turned into a PDF by
// enscript and ps2pdf (skipped where they are not installed). "peak_MiB" is the process's
// peak resident memory while printing (Linux; the peak is reset through
// /proc/self/clear_refs first), which shows that the pages go to the file as they are made.
//
// The preview: from opening it to its first page on screen, for the 360-row loan as the
// reference and the two long ones, with the peak memory while it is open and the memory it
// keeps once closed ("kept_MiB").

#include "bench/BenchLoans.h"
#include "output/LoanWriters.h"
#include "view/CTamsicView.h"
#include "view/DisplaySettings.h"
#include "view/LoanDocument.h"
#include "view/LoanPrinter.h"
#include "view/PrintOutput.h"
#include "view/PrintPreviewDialog.h"

#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <fstream>
#include <string>

namespace {

using bench::kMonthly360;
using bench::kWeekly1M;
using bench::kWeekly400k;
using bench::Loan;
using bench::MakeLoan;

const QPageLayout kA4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                      QPageLayout::Point);
constexpr int kDpi = 600;

struct Printout {
    explicit Printout(Loan loan) : document(MakeLoan(loan)), view(document, settings) {
        view.OnInitialUpdate();
    }
    LoanPrinter Printer() const { return LoanPrinter(view, true); }

    DisplaySettings settings;
    LoanDocument document;
    CTamsicView view;
};

// Resets the process's peak resident memory to what it holds now; false where it cannot.
bool ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    return static_cast<bool>(clear << "5" << std::flush);
}

// A figure of /proc/self/status ("VmHWM:", "VmRSS:") in MiB.
double MemoryMiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key)) return std::stod(line.substr(key.size())) / 1024.0;
    }
    return 0.0;
}

double PeakMemoryMiB() {
    return MemoryMiB("VmHWM:");
}

void BM_PrintCountPages(benchmark::State& state) {
    const Printout printout(static_cast<Loan>(state.range(0)));
    const QRect printable = kA4.paintRectPixels(kDpi);
    const PrintArea area{printable.width(), printable.height(), kDpi, kDpi};
    for (auto _ : state) {
        benchmark::DoNotOptimize(printout.Printer().CountPages(area));
    }
}
BENCHMARK(BM_PrintCountPages)
    ->ArgName("loan")
    ->Arg(kWeekly400k)
    ->Arg(kMonthly360)
    ->Unit(benchmark::kMillisecond);

void BM_PrintToPdf(benchmark::State& state) {
    const Printout printout(static_cast<Loan>(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("loan.pdf"));
    const bool measured = ResetPeakMemory();
    for (auto _ : state) {
        const QString failure = PrintToPdf(printout.Printer(), path, kA4, kDpi);
        if (!failure.isEmpty()) state.SkipWithError(failure.toStdString().c_str());
    }
    if (measured) state.counters["peak_MiB"] = PeakMemoryMiB();
    state.counters["MiB_written"] = static_cast<double>(QFile(path).size()) / (1 << 20);
}
BENCHMARK(BM_PrintToPdf)
    ->ArgName("loan")
    ->Arg(kWeekly400k)
    ->Arg(kMonthly360)
    ->Unit(benchmark::kMillisecond);

// The reference: the loan's text export, written beforehand, to PDF through enscript's
// PostScript and ghostscript. The PostScript goes through a file: ps2pdf reading a pipe
// takes several times as long.
void BM_PrintToPdfReference(benchmark::State& state) {
    if (QStandardPaths::findExecutable(QStringLiteral("enscript")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("ps2pdf")).isEmpty()) {
        state.SkipWithError("enscript and ps2pdf (ghostscript) are not installed");
        return;
    }
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("loan.txt"));
    const QString pdf = dir.filePath(QStringLiteral("loan.pdf"));
    const QString postScript = dir.filePath(QStringLiteral("loan.ps"));
    {
        QFile file(text);
        file.open(QIODevice::WriteOnly);
        const brellow::CTamsicDoc loan = MakeLoan(static_cast<Loan>(state.range(0)));
        file.write(QByteArray::fromStdString(
            brellow::WriteLoan(loan, brellow::kAllYears, brellow::LoanFormat::Text)));
    }
    for (auto _ : state) {
        QProcess tools;
        tools.start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral("enscript -q -p \"$3\" \"$1\" && ps2pdf \"$3\" \"$2\""),
                    QStringLiteral("sh"), text, pdf, postScript});
        if (!tools.waitForFinished(-1) || tools.exitCode() != 0) {
            state.SkipWithError("enscript and ps2pdf failed");
        }
    }
    state.counters["MiB_written"] = static_cast<double>(QFile(pdf).size()) / (1 << 20);
}
BENCHMARK(BM_PrintToPdfReference)
    ->ArgName("loan")
    ->Arg(kWeekly400k)
    ->Arg(kMonthly360)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PreviewFirstPage(benchmark::State& state) {
    const Printout printout(static_cast<Loan>(state.range(0)));
    const LoanPrinter loan = printout.Printer();
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(kDpi);
    printer.setPageLayout(kA4);
    const double before = MemoryMiB("VmRSS:");
    const bool measured = ResetPeakMemory();
    for (auto _ : state) {
        PrintPreviewDialog preview(loan, printer, 1);
        QEventLoop shown;
        QObject::connect(&preview, &PrintPreviewDialog::pageDrawn, &shown, &QEventLoop::quit);
        QTimer::singleShot(10000, &shown, &QEventLoop::quit);
        preview.show();
        shown.exec();
    }
    if (measured) state.counters["peak_MiB"] = PeakMemoryMiB();
    state.counters["kept_MiB"] = MemoryMiB("VmRSS:") - before;
}
BENCHMARK(BM_PreviewFirstPage)
    ->ArgName("loan")
    ->Arg(kMonthly360)
    ->Arg(kWeekly400k)
    ->Arg(kWeekly1M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
