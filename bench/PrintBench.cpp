// Printing the two loans of BenchLoans.h to a PDF file, A4 at 600 dpi with the margins of
// Qt's printer (the weekly loan takes 7,144 pages): the counting pass the print dialog runs
// first, and the whole printout. "peak_MiB" is the process's peak resident memory while
// printing (Linux; the peak is reset through /proc/self/clear_refs first), which shows that
// the pages go to the file as they are made.

#include "bench/BenchLoans.h"
#include "view/CTamsicView.h"
#include "view/DisplaySettings.h"
#include "view/LoanDocument.h"
#include "view/LoanPrinter.h"
#include "view/PrintOutput.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QPageLayout>
#include <QTemporaryDir>

#include <fstream>
#include <string>

namespace {

using bench::kMonthly360;
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

double PeakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0.0;
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

}  // namespace
