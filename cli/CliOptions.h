#pragma once

// The command line of brellow-cli, read into a struct without touching any file.
//
//   brellow-cli [TERMS] [--open FILE.brw] [--year YYYY] [--format FORMAT] [--output FILE]
//   brellow-cli solve --payment P --rate R --periods N ...
//   brellow-cli refinance --original-amount A --years N ... [--format FORMAT]
//   brellow-cli compare A.brw B.brw ... [--format text|csv|json]
//
// Option names, frequency names, format names and the words "solve", "refinance" and
// "compare" are matched without regard to case. A value follows its option as the next
// argument or after "=" (--rate=6); a next argument that starts with "--" is taken as the
// next option, so "--amount --rate 6" reports the missing amount. Every value is parsed
// here, so a usage error names the option and the text it could not read. "-" as the file
// of --open, --output or compare is standard input or output, as for other Unix tools; a
// file of that name is "./-".

#include "engine/OleDateTime.h"
#include "engine/RefinanceAdvice.h"
#include "engine/Solve.h"

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace brellow::cli {

enum class Command { Loan, Solve, Refinance, Compare, Help, Version };
enum class OutputFormat { Text, Html, Table, Csv, Brw, Json };

// Terms given on the command line; each one present replaces the document's value.
struct TermsOverrides {
    std::optional<double> amount;
    std::optional<int> periods;
    std::optional<double> rate;
    std::optional<OleDateTime> firstPayment;
    std::optional<int> paymentFrequency;
    std::optional<int> compoundFrequency;
    std::optional<double> additionalPayment;
    std::optional<int> balloonPeriod;  // present: the balloon flag is set

    bool Any() const noexcept;
};

struct CliOptions {
    Command command = Command::Loan;
    TermsOverrides terms;
    std::optional<std::string> openPath;
    bool openStandardInput = false;  // --open -
    std::optional<int> year;
    OutputFormat format = OutputFormat::Text;
    std::optional<std::string> outputPath;  // none: standard output
    bool outputStandardOutput = false;      // --output -: standard output, brw included
    // solve: the payment per period, and the one of amount, periods, rate and payment
    // that is left out.
    std::optional<double> payment;
    SolveFor solveFor = SolveFor::Payment;
    // Fields not given stay 0, as the advisor's dialog opens.
    RefinanceInputs refinance;
    // compare: the loan files in the order given; "-" is standard input.
    std::vector<std::string> comparePaths;
};

// What is wrong with the command line, without the program name.
struct UsageError {
    std::string message;
};

// `args` excludes the program name.
std::variant<CliOptions, UsageError> ParseCliArguments(std::span<const std::string> args);

// The text --help prints.
std::string UsageText();

// The option (with its dashes) that sets a refinance field: "--tax-bracket".
std::string RefinanceOptionName(RefinanceField field);

}  // namespace brellow::cli
