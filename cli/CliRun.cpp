#include "cli/CliRun.h"

#include "engine/CTamsicDoc.h"
#include "engine/FileIo.h"
#include "engine/LoanComparison.h"
#include "engine/LoanFile.h"
#include "engine/LoanTerms.h"
#include "engine/Schedule.h"
#include "engine/Solve.h"
#include "engine/StreamSink.h"
#include "engine/TermsCheck.h"
#include "output/AmountFormat.h"
#include "output/ComparisonWriters.h"
#include "output/JsonWriter.h"
#include "output/LoanSummary.h"
#include "output/LoanWriters.h"
#include "output/MessageText.h"
#include "output/RefinanceAdviceText.h"

#include <istream>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

namespace brellow::cli {

// Only the given terms go through the setters: a value read from a file that is not
// overridden stays exactly as stored (an amount is not rounded again).
void StoreOverrides(CTamsicDoc& doc, const TermsOverrides& given) {
    if (given.amount) doc.SetLoanAmount(*given.amount);
    if (given.periods) doc.SetNumPeriods(*given.periods);
    if (given.rate) doc.SetInterestRate(*given.rate);
    if (given.firstPayment) doc.SetFirstPaymentDate(*given.firstPayment);
    if (given.paymentFrequency) doc.SetPaymentFrequency(*given.paymentFrequency);
    if (given.compoundFrequency) doc.SetCompoundFrequency(*given.compoundFrequency);
    if (given.additionalPayment) doc.SetAdditionalPayment(*given.additionalPayment);
    if (given.balloonPeriod) {
        doc.SetBalloon(true);
        doc.SetBalloonPeriod(*given.balloonPeriod);
    }
}

namespace {

// Messages repeat arguments and file names as given, so their control characters are
// shown escaped.
int Fail(std::ostream& err, int status, const std::string& message) {
    err << "brellow-cli: " << EscapeControlCharacters(message) << '\n';
    return status;
}

// Success once everything written to standard output has reached it.
int Flushed(std::ostream& out, std::ostream& err) {
    out.flush();
    if (!out) return Fail(err, kExitFileError, "cannot write to standard output.");
    return kExitSuccess;
}

// The option that sets a field, and whether it was given.
std::pair<std::string, bool> OptionOf(TermsField field, const TermsOverrides& given) {
    switch (field) {
        case TermsField::Amount:
            return {"--amount", given.amount.has_value()};
        case TermsField::Periods:
            return {"--periods", given.periods.has_value()};
        case TermsField::Rate:
            return {"--rate", given.rate.has_value()};
        case TermsField::FirstPayment:
            return {"--first-payment", given.firstPayment.has_value()};
        case TermsField::PaymentPeriod:
            return {"--payment-period", given.paymentFrequency.has_value()};
        case TermsField::CompoundPeriod:
            return {"--compounding", given.compoundFrequency.has_value()};
        case TermsField::AdditionalPayment:
            return {"--extra", given.additionalPayment.has_value()};
        case TermsField::Balloon:
        case TermsField::PayoffPeriod:
            break;
    }
    return {"--balloon", given.balloonPeriod.has_value()};
}

// Why --year cannot be used with this loan; empty when it can.
std::string YearRefusal(const CTamsicDoc& doc) {
    if (ScheduleHasYears(doc)) return {};
    const int code = doc.GetPaymentFrequency();
    if (code == static_cast<int>(PaymentFrequency::Annually)) {
        return "--year: a loan paid annually is not listed by year.";
    }
    if (code >= kPaymentFrequencyCount) {
        return "--year: a loan with the unknown payment period code " + std::to_string(code) +
               " is not listed by year.";
    }
    return "--year: the loan's first payment date is not valid, so its payments have no years.";
}

LoanFormat WriterFormat(OutputFormat format) {
    switch (format) {
        case OutputFormat::Html:
            return LoanFormat::Html;
        case OutputFormat::Table:
            return LoanFormat::Table;
        case OutputFormat::Csv:
            return LoanFormat::Csv;
        case OutputFormat::Text:
        case OutputFormat::Brw:
        case OutputFormat::Json:
            break;
    }
    return LoanFormat::Text;
}

// Reads the loan record from standard input into `doc`, refused as a file's would be.
std::string ReadLoanInput(std::istream& in, CTamsicDoc& doc) {
    std::string bytes(kLoanRecordSize, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) return "Cannot open standard input: it cannot be read.";
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    const std::string refused = LoadLoanRecord(
        std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), doc);
    return refused.empty() ? refused : "Cannot open standard input: " + refused + ".";
}

int RunLoan(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err,
            const OleDateTime& now) {
    CTamsicDoc doc(now);
    if (options.openPath || options.openStandardInput) {
        const std::string problem =
            options.openPath ? ReadLoanFile(*options.openPath, doc) : ReadLoanInput(in, doc);
        if (!problem.empty()) return Fail(err, kExitFileError, problem);
    }
    if (options.terms.Any()) {
        CTamsicDoc changed = doc;
        StoreOverrides(changed, options.terms);
        if (const auto problem = CheckTerms(changed.GetTerms())) {
            auto [where, given] = OptionOf(problem->field, options.terms);
            if (!given && (options.openPath || options.openStandardInput)) {
                where += " (as read from " + options.openPath.value_or("standard input") + ")";
            }
            return Fail(err, kExitUsageError, where + ": " + problem->message);
        }
        doc = changed;
    }
    doc.ComputePayment();

    if (options.format == OutputFormat::Brw && !options.outputPath) {
        const LoanRecord record = StoreLoanRecord(doc);
        out.write(reinterpret_cast<const char*>(record.data()),
                  static_cast<std::streamsize>(record.size()));
        return Flushed(out, err);
    }
    if (options.format == OutputFormat::Brw) {
        if (std::string problem = WriteLoanFile(*options.outputPath, doc); !problem.empty()) {
            return Fail(err, kExitFileError, problem);
        }
        return kExitSuccess;
    }

    int year = kAllYears;
    if (options.year) {
        if (std::string refusal = YearRefusal(doc); !refusal.empty()) {
            return Fail(err, kExitUsageError, refusal);
        }
        year = *options.year;
    }
    const auto write = [&](ByteSink& sink) {
        if (options.format == OutputFormat::Json) return WriteLoanJson(doc, year, sink);
        return WriteLoan(doc, year, WriterFormat(options.format), sink);
    };
    if (options.outputPath) {
        // Only the loan itself (brw, above) may be written over the file it was read from.
        FileResult written = options.openPath
                                 ? CheckNotOverInput(*options.outputPath, *options.openPath)
                                 : FileResult{};
        if (written) {
            AtomicFile file(*options.outputPath);
            write(file);
            written = file.Commit();
        }
        if (!written) {
            return Fail(err, kExitFileError,
                        "Cannot write " + *options.outputPath + ": " + written.reason + ".");
        }
        return kExitSuccess;
    }
    StreamSink sink(out);
    write(sink);
    return Flushed(out, err);
}

// The summary line that states a term: "Loan Amount: $100,000.00".
std::string SummaryLineOf(const CTamsicDoc& doc, SolveFor term) {
    // The left column lists amount, rate, periods and payment in that order.
    const int row = term == SolveFor::Amount    ? 0
                    : term == SolveFor::Rate    ? 1
                    : term == SolveFor::Periods ? 2
                                                : 3;
    for (const SummaryLine& line : LoanSummary(doc)) {
        if (line.column == 0 && line.row == row) return line.text;
    }
    return {};
}

int RunSolve(const CliOptions& options, std::ostream& out, std::ostream& err,
             const OleDateTime& now) {
    // The term left out stays a new document's 0 while the given ones are checked.
    CTamsicDoc doc(now);
    StoreOverrides(doc, options.terms);
    if (const auto problem = CheckTerms(doc.GetTerms())) {
        return Fail(err, kExitUsageError,
                    OptionOf(problem->field, options.terms).first + ": " + problem->message);
    }
    const auto solved = SolveLoan(doc.GetTerms(), options.payment.value_or(0.0), options.solveFor);
    if (const auto* failure = std::get_if<SolveFailure>(&solved)) {
        return Fail(err, kExitUsageError, "--payment: " + failure->message);
    }
    doc.RestoreTerms(std::get<SolvedLoan>(solved).terms);
    doc.ComputePayment();
    if (const auto problem = CheckTerms(doc.GetTerms())) {
        // A term that was not given comes from the payment: 1.00 a month on 1,000,000.00
        // at 0 % would end after 31 December 9999.
        auto [where, given] = OptionOf(problem->field, options.terms);
        return Fail(err, kExitUsageError, (given ? where : "--payment") + ": " + problem->message);
    }
    out << SummaryLineOf(doc, options.solveFor) << '\n';
    return Flushed(out, err);
}

// The inputs as read, the figures computed from them (money to the cent) and the advice.
std::string RefinanceJson(const RefinanceInputs& inputs, const RefinanceFigures& figures,
                          const std::string& advice) {
    std::string text;
    JsonObject object(text);
    JsonObject given(object.Key("inputs"));
    AppendJsonNumber(given.Key("originalAmount"), inputs.originalAmount);
    AppendInt(given.Key("years"), inputs.years);
    AppendJsonNumber(given.Key("rate"), inputs.rate);
    AppendInt(given.Key("monthsPaid"), inputs.monthsPaid);
    AppendJsonNumber(given.Key("taxBracket"), inputs.taxBracket);
    AppendInt(given.Key("newYears"), inputs.newYears);
    AppendJsonNumber(given.Key("newRate"), inputs.newRate);
    AppendJsonNumber(given.Key("points"), inputs.points);
    AppendJsonNumber(given.Key("closingCost"), inputs.closingCost);
    given.Close();
    JsonObject computed(object.Key("figures"));
    AppendJsonMoney(computed.Key("balance"), figures.balance);
    AppendJsonMoney(computed.Key("oldPayment"), figures.oldPayment);
    AppendJsonMoney(computed.Key("newPayment"), figures.newPayment);
    AppendJsonMoney(computed.Key("cost"), figures.cost);
    AppendJsonMoney(computed.Key("saving"), figures.saving);
    AppendInt(computed.Key("breakEvenMonths"), figures.breakEvenMonths);
    computed.Close();
    AppendJsonString(object.Key("advice"), advice);
    object.Close();
    return text + '\n';
}

int RunRefinance(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const auto computed = ComputeRefinance(options.refinance);
    if (const auto* refusal = std::get_if<RefinanceRefusal>(&computed)) {
        return Fail(err, kExitUsageError,
                    RefinanceOptionName(refusal->field) + ": " + refusal->message);
    }
    const auto& figures = std::get<RefinanceFigures>(computed);
    const std::string advice = WordRefinanceAdvice(figures);
    if (options.format == OutputFormat::Json) {
        out << RefinanceJson(options.refinance, figures, advice);
    } else {
        out << advice << '\n';
    }
    return Flushed(out, err);
}

// Each file is read and refused as --open reads and refuses it.
int RunCompare(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err,
               const OleDateTime& now) {
    std::vector<CTamsicDoc> docs;
    for (const std::string& path : options.comparePaths) {
        CTamsicDoc doc(now);
        const bool input = path == "-";
        const std::string problem = input ? ReadLoanInput(in, doc) : ReadLoanFile(path, doc);
        if (!problem.empty()) return Fail(err, kExitFileError, problem);
        if (input) doc.SetTitle("standard input");
        doc.ComputePayment();
        docs.push_back(std::move(doc));
    }
    const ComparisonFormat format = options.format == OutputFormat::Csv    ? ComparisonFormat::Csv
                                    : options.format == OutputFormat::Json ? ComparisonFormat::Json
                                                                           : ComparisonFormat::Text;
    out << WriteComparison(CompareLoans(docs), format);
    return Flushed(out, err);
}

}  // namespace

int RunCli(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err,
           const OleDateTime& now) {
    switch (options.command) {
        case Command::Help:
        case Command::Version:
            out << (options.command == Command::Help ? UsageText() : "brellow-cli 1.0\n");
            return Flushed(out, err);
        case Command::Solve:
            return RunSolve(options, out, err, now);
        case Command::Refinance:
            return RunRefinance(options, out, err);
        case Command::Compare:
            return RunCompare(options, in, out, err, now);
        case Command::Loan:
            break;
    }
    return RunLoan(options, in, out, err, now);
}

int RunCliArguments(std::span<const std::string> args, std::istream& in, std::ostream& out,
                    std::ostream& err, const OleDateTime& now) {
    auto parsed = ParseCliArguments(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        return Fail(err, kExitUsageError, usage->message);
    }
    return RunCli(std::get<CliOptions>(parsed), in, out, err, now);
}

}  // namespace brellow::cli
