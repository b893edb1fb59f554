// The long schedule every presenter must handle quickly: 1,000,000.00 at 5 %, paid
// weekly and compounded monthly over 400,000 weeks from 1 January 2026.
//
// Over so many periods the payment's rounding to cents compounds: at 5 % the balance
// grows to hundreds of digits before the last row clears it, so most amounts take the
// slow path of the conversion. The same loan at 0 % has amounts of ordinary width.

#include "engine/CTamsicDoc.h"
#include "engine/LoanTerms.h"
#include "engine/OleDateTime.h"
#include "engine/Schedule.h"
#include "output/AmountFormat.h"
#include "output/LoanWriters.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace brellow;

CTamsicDoc LongWeeklyLoan(double rate = 5.0) {
    CTamsicDoc doc(OleDateTime::FromDate(2025, 12, 15));
    doc.SetLoanAmount(1000000.00);
    doc.SetInterestRate(rate);
    doc.SetNumPeriods(400000);
    doc.SetFirstPaymentDate(OleDateTime::FromDate(2026, 1, 1));
    doc.SetPaymentFrequency(static_cast<int>(PaymentFrequency::Weekly));
    doc.SetCompoundFrequency(static_cast<int>(CompoundFrequency::Monthly));
    doc.ComputePayment();
    return doc;
}

void BM_TextExport(benchmark::State& state) {
    const CTamsicDoc doc = LongWeeklyLoan(static_cast<double>(state.range(0)));
    const int rows = doc.GetScheduleLength();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = WriteLoanText(doc, kAllYears);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_TextExport)->ArgName("rate")->Arg(5)->Arg(0)->Unit(benchmark::kMillisecond);

// Counting the rows, then producing every one of them without formatting.
void BM_ScheduleRows(benchmark::State& state) {
    const CTamsicDoc doc = LongWeeklyLoan();
    int rows = 0;
    for (auto _ : state) {
        rows = doc.GetScheduleLength();
        ScheduleGenerator gen(doc, kAllYears);
        ScheduleRow row;
        while (gen.Next(row)) benchmark::DoNotOptimize(row);
        benchmark::DoNotOptimize(gen.Totals());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ScheduleRows)->Unit(benchmark::kMillisecond);

void BM_FormatAmount(benchmark::State& state) {
    std::string out;
    out.reserve(64);
    double value = 1234567.891;
    for (auto _ : state) {
        out.clear();
        AppendAmount(out, value);
        benchmark::DoNotOptimize(out.data());
        value += 0.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatAmount);

}  // namespace
