#include "cli/CliRun.h"

#include "engine/CTamsicDoc.h"
#include "engine/FileIo.h"
#include "engine/LoanFile.h"
#include "engine/LoanTerms.h"
#include "engine/Schedule.h"
#include "engine/TermsCheck.h"
#include "output/LoanWriters.h"
#include "tools/RefinanceAdvice.h"

#include <ostream>
#include <string_view>
#include <utility>

namespace brellow::cli {

namespace {

int Fail(std::ostream& err, int status, const std::string& message) {
    err << "brellow-cli: " << message << '\n';
    return status;
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
            break;
    }
    return LoanFormat::Text;
}

class StreamSink final : public ByteSink {
public:
    explicit StreamSink(std::ostream& out) : m_out(out) {}
    bool Write(std::string_view bytes) override {
        m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(m_out);
    }

private:
    std::ostream& m_out;
};

int RunLoan(const CliOptions& options, std::ostream& out, std::ostream& err,
            const OleDateTime& now) {
    CTamsicDoc doc(now);
    if (options.openPath) {
        if (std::string problem = ReadLoanFile(*options.openPath, doc); !problem.empty()) {
            return Fail(err, kExitFileError, problem);
        }
    }
    if (options.terms.Any()) {
        CTamsicDoc changed = doc;
        StoreOverrides(changed, options.terms);
        if (const auto problem = CheckTerms(changed.GetTerms())) {
            auto [where, given] = OptionOf(problem->field, options.terms);
            if (!given && options.openPath) {
                where += " (as read from " + *options.openPath + ")";
            }
            return Fail(err, kExitUsageError, where + ": " + problem->message);
        }
        doc = changed;
    }
    doc.ComputePayment();

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
    const LoanFormat format = WriterFormat(options.format);
    if (options.outputPath) {
        AtomicFile file(*options.outputPath);
        WriteLoan(doc, year, format, file);
        if (const FileResult written = file.Commit(); !written) {
            return Fail(err, kExitFileError,
                        "Cannot write " + *options.outputPath + ": " + written.reason + ".");
        }
        return kExitSuccess;
    }
    StreamSink sink(out);
    WriteLoan(doc, year, format, sink);
    out.flush();
    if (!out) return Fail(err, kExitFileError, "cannot write to standard output.");
    return kExitSuccess;
}

int RunRefinance(const RefinanceInputs& inputs, std::ostream& out, std::ostream& err) {
    const RefinanceResult result = AdviseRefinance(inputs);
    if (result.refusal) {
        return Fail(err, kExitUsageError,
                    RefinanceOptionName(result.refusal->field) + ": " + result.refusal->message);
    }
    out << result.advice << '\n';
    out.flush();
    if (!out) return Fail(err, kExitFileError, "cannot write to standard output.");
    return kExitSuccess;
}

}  // namespace

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err,
           const OleDateTime& now) {
    switch (options.command) {
        case Command::Help:
        case Command::Version:
            out << (options.command == Command::Help ? UsageText() : "brellow-cli 1.0\n");
            out.flush();
            if (!out) return Fail(err, kExitFileError, "cannot write to standard output.");
            return kExitSuccess;
        case Command::Refinance:
            return RunRefinance(options.refinance, out, err);
        case Command::Loan:
            break;
    }
    return RunLoan(options, out, err, now);
}

int RunCliArguments(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                    const OleDateTime& now) {
    auto parsed = ParseCliArguments(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        return Fail(err, kExitUsageError, usage->message);
    }
    return RunCli(std::get<CliOptions>(parsed), out, err, now);
}

}  // namespace brellow::cli
