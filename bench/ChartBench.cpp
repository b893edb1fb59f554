// The charts painted for the long weekly loan (400,000 payments of a 900,000,000,000.00 loan
// at 0.01 % from 1 January 2026) beside a 30-year monthly one, into an image of the dialog's
// size. The line charts reduce their series once per change of the terms (in the first
// paint); the balance chart's target is 5 ms a paint. The total chart's command also
// computes the total interest before it shows the dialog.

#include "bench/BenchLoans.h"
#include "engine/CTamsicDoc.h"
#include "tools/CBalanceChartDlg.h"
#include "tools/CPaymentChartDlg.h"
#include "tools/CTotalChartDlg.h"

#include <benchmark/benchmark.h>

#include <QImage>

namespace {

using bench::kMonthly360;
using bench::kWeekly400k;
using bench::Loan;
using bench::MakeLoan;

void BM_PaymentChartPaint(benchmark::State& state) {
    const brellow::CTamsicDoc doc = MakeLoan(static_cast<Loan>(state.range(0)));
    CPaymentChartDlg dialog(doc);
    for (auto _ : state) {
        const QImage image = dialog.ChartImage();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaymentChartPaint)
    ->ArgName("loan")
    ->Arg(kWeekly400k)
    ->Arg(kMonthly360)
    ->Unit(benchmark::kMillisecond);

void BM_BalanceChartPaint(benchmark::State& state) {
    const brellow::CTamsicDoc doc = MakeLoan(static_cast<Loan>(state.range(0)));
    CBalanceChartDlg dialog(doc);
    for (auto _ : state) {
        const QImage image = dialog.ChartImage();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_BalanceChartPaint)
    ->ArgName("loan")
    ->Arg(kWeekly400k)
    ->Arg(kMonthly360)
    ->Unit(benchmark::kMillisecond);

void BM_TotalChartPaint(benchmark::State& state) {
    const brellow::CTamsicDoc doc = MakeLoan(static_cast<Loan>(state.range(0)));
    for (auto _ : state) {
        CTotalChartDlg dialog(doc.GetLoanAmount(), doc.GetTotalInterest());
        const QImage image = dialog.ChartImage();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_TotalChartPaint)
    ->ArgName("loan")
    ->Arg(kWeekly400k)
    ->Arg(kMonthly360)
    ->Unit(benchmark::kMillisecond);

}  // namespace
