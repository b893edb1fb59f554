// The long schedule every presenter must handle quickly: 900,000,000,000.00 at 0.01 %,
// paid weekly and compounded monthly over 400,000 weeks from 1 January 2026, the longest
// loan whose figures all stay within the cent. Its amounts have twelve digits, so most
// of the time goes to formatting them.
//
// BM_ExportToFile writes each format through the atomic save, fsync included, beside
// BM_CopyWithFsync, which writes the same bytes with one write and one fsync (what
// `dd conv=fsync` does): the export should take at most 1.5 times the copy.
// bench/writers/run.sh times brellow-cli itself against dd and cat, to a file and a pipe.

#include "engine/CTamsicDoc.h"
#include "engine/FileIo.h"
#include "engine/LoanTerms.h"
#include "engine/OleDateTime.h"
#include "engine/Schedule.h"
#include "output/AmountFormat.h"
#include "output/JsonWriter.h"
#include "output/LoanWriters.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace brellow;

CTamsicDoc LongWeeklyLoan() {
    CTamsicDoc doc(OleDateTime::FromDate(2025, 12, 15));
    doc.SetLoanAmount(900000000000.00);
    doc.SetInterestRate(0.01);
    doc.SetNumPeriods(400000);
    doc.SetFirstPaymentDate(OleDateTime::FromDate(2026, 1, 1));
    doc.SetPaymentFrequency(static_cast<int>(PaymentFrequency::Weekly));
    doc.SetCompoundFrequency(static_cast<int>(CompoundFrequency::Monthly));
    doc.ComputePayment();
    return doc;
}

// A loan without dates over 1,000,000 periods, for walks that start mid-way.
CTamsicDoc MillionRowLoan() {
    CTamsicDoc doc = LongWeeklyLoan();
    doc.SetNumPeriods(1000000);
    doc.SetFirstPaymentDate(OleDateTime(0.0, OleDateTime::Status::Null));
    doc.ComputePayment();
    return doc;
}

constexpr const char* kFormatNames[] = {"text", "csv", "html", "json"};

// Writes every row of the loan in format `format`, a kFormatNames index.
bool WriteFormat(const CTamsicDoc& doc, std::int64_t format, ByteSink& sink) {
    constexpr LoanFormat kFormats[] = {LoanFormat::Text, LoanFormat::Csv, LoanFormat::Html};
    if (format == 3) return WriteLoanJson(doc, kAllYears, sink);
    return WriteLoan(doc, kAllYears, kFormats[format], sink);
}

std::string ScratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ExportToFile(benchmark::State& state) {
    const CTamsicDoc doc = LongWeeklyLoan();
    const std::string path = ScratchPath("brellow-bench-export");
    for (auto _ : state) {
        AtomicFile file(path);
        WriteFormat(doc, state.range(0), file);
        if (!file.Commit()) state.SkipWithError("the export failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
    state.SetLabel(kFormatNames[state.range(0)]);
    state.counters["peak_MiB"] = PeakResidentMiB();
    std::remove(path.c_str());
}
BENCHMARK(BM_ExportToFile)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyWithFsync(benchmark::State& state) {
    StringSink text;
    WriteFormat(LongWeeklyLoan(), state.range(0), text);
    const std::string& bytes = text.Text();
    const std::string path = ScratchPath("brellow-bench-copy");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        for (std::size_t at = 0; at < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
            if (n <= 0) break;
            at += static_cast<std::size_t>(n);
        }
        ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(kFormatNames[state.range(0)]);
    std::remove(path.c_str());
}
BENCHMARK(BM_CopyWithFsync)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Composing the text export in memory, without the disk.
void BM_TextExport(benchmark::State& state) {
    const CTamsicDoc doc = LongWeeklyLoan();
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
BENCHMARK(BM_TextExport)->Unit(benchmark::kMillisecond);

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

// The 52 rows that start at 0 %, 50 % and 100 % of a 1,000,000-row schedule, produced
// and formatted as a presenter shows them: with checkpoints the cost does not grow with
// the position.
void BM_RowsAtPosition(benchmark::State& state) {
    const CTamsicDoc doc = MillionRowLoan();
    const ScheduleCheckpoints checkpoints(doc.GetScheduleBasis());
    const std::int64_t first = std::min<std::int64_t>(checkpoints.Length() - 52,
                                                      checkpoints.Length() * state.range(0) / 100);
    for (auto _ : state) {
        ScheduleGenerator gen(doc, kAllYears, &checkpoints);
        gen.SkipListed(first);
        ScheduleRow row;
        std::string text;
        for (int i = 0; i < 52 && gen.Next(row); ++i) {
            text.clear();
            AppendInt(text, row.period);
            for (const double amount : {row.payment, row.interest, row.principal, row.balance}) {
                AppendAmount(text, amount);
            }
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetLabel(std::to_string(state.range(0)) + " %");
}
BENCHMARK(BM_RowsAtPosition)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_BuildCheckpoints(benchmark::State& state) {
    const CTamsicDoc doc = MillionRowLoan();
    for (auto _ : state) {
        const ScheduleCheckpoints checkpoints(doc.GetScheduleBasis());
        benchmark::DoNotOptimize(checkpoints.Length());
    }
}
BENCHMARK(BM_BuildCheckpoints)->Unit(benchmark::kMillisecond);

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
