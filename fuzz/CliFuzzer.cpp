// Drives brellow-cli's solve and refinance with arbitrary arguments through the runner the
// program itself calls. The input is the command line, one argument a line:
//   solve\n--amount\n100000\n--rate\n6\n--payment\n500.01
// An input whose first line is neither "solve" nor "refinance" gets one of them put before
// it, so every input reaches one of the two. The runner must refuse with exit status 2 and
// a message, or succeed with output that holds:
//   * no figure of 2^53 cents or more in magnitude and none that is not a number ("nan",
//     "inf", or a JSON null among the refinance figures);
//   * a solved amount or rate gives the payment to the cent when the loan is computed from
//     the printed answer again;
//   * a solved number of periods N agrees with walking the loan at the payment: N - 1
//     payments leave something owed, N + 1 pay it off, and N is one fewer than the walk
//     takes only where N periods give the payment to the cent.
// Anything else aborts with the reason, which libFuzzer keeps as a finding.

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "engine/Amortization.h"
#include "engine/CTamsicDoc.h"
#include "engine/Cents.h"
#include "engine/OleDateTime.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace brellow;

// 2^53 cents, written out rather than taken from the engine, so that a wrong limit there
// is found too.
constexpr double kCentLimit = 90071992547409.92;

[[noreturn]] void Finding(const std::string& what, const std::vector<std::string>& args,
                          const std::string& out) {
    std::string line;
    for (const std::string& arg : args) line += " [" + arg + "]";
    std::fprintf(stderr, "FINDING: %s\n  arguments:%s\n  output: %s\n", what.c_str(), line.c_str(),
                 out.c_str());
    std::abort();
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::vector<std::string> Arguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    const std::string first = Lower(args.front());
    if (first != "solve" && first != "refinance") {
        args.insert(args.begin(), size % 2 ? "refinance" : "solve");
    }
    return args;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number written from `at` on ("1,234.56", "1e+20"), without its sign.
double NumberAt(std::string_view text, std::size_t& at) {
    std::string digits;
    while (at < text.size() && (IsDigit(text[at]) || text[at] == ',' || text[at] == '.')) {
        if (text[at] != ',') digits += text[at];
        ++at;
    }
    if (at + 1 < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t end = at + 1;
        if (text[end] == '+' || text[end] == '-') ++end;
        if (end < text.size() && IsDigit(text[end])) {
            digits += 'e';
            digits.append(text.substr(at + 1, end - at - 1));
            for (at = end; at < text.size() && IsDigit(text[at]); ++at) digits += text[at];
        }
    }
    return std::strtod(digits.c_str(), nullptr);
}

// Every number in `text` within the cent limit, and no word for what is not a number.
void CheckFigures(std::string_view text, const std::vector<std::string>& args,
                  const std::string& out) {
    const std::string lower = Lower(text);
    const auto isLetter = [&](std::size_t at) {
        return at < lower.size() && lower[at] >= 'a' && lower[at] <= 'z';
    };
    for (const std::string_view word : {"nan", "inf", "null"}) {
        // As a word of its own: "refinance" holds "nan".
        for (std::size_t at = lower.find(word); at != std::string::npos;
             at = lower.find(word, at + 1)) {
            if ((at == 0 || !isLetter(at - 1)) && !isLetter(at + word.size())) {
                Finding("a figure that is not a number (" + std::string(word) + ")", args, out);
            }
        }
    }
    for (std::size_t at = 0; at < text.size();) {
        const bool starts = IsDigit(text[at]) && (at == 0 || !IsDigit(text[at - 1]));
        if (!starts) {
            ++at;
            continue;
        }
        if (!(NumberAt(text, at) < kCentLimit))
            Finding("a figure beyond the cent limit", args, out);
    }
}

// Whole cents of a payment, as the solve counts them.
double CentsOf(double payment) {
    return RoundCents(payment * 100.0);
}

void CheckSolve(const cli::CliOptions& options, const std::string& out,
                const std::vector<std::string>& args, const OleDateTime& now) {
    CheckFigures(out, args, out);
    if (options.solveFor == SolveFor::Payment) return;
    // "Loan Amount: $-1,234.56", "Interest Rate: 6.5%", "# of Periods: 252"
    const std::size_t colon = out.find(": ");
    std::size_t at = out.find_first_of("0123456789", colon);
    if (colon == std::string::npos || at == std::string::npos) Finding("no answer", args, out);
    const bool negative = out.find('-', colon) < at;
    const double magnitude = NumberAt(out, at);
    const double answer = negative ? -magnitude : magnitude;

    CTamsicDoc doc(now);
    cli::StoreOverrides(doc, options.terms);
    switch (options.solveFor) {
        case SolveFor::Amount:
            doc.SetLoanAmount(answer);
            break;
        case SolveFor::Rate:
            doc.SetInterestRate(answer);
            break;
        default:
            doc.SetNumPeriods(static_cast<int>(answer));
            break;
    }
    doc.ComputePayment();
    const double wanted = CentsOf(options.payment.value_or(0.0));
    const bool gives = CentsOf(doc.GetPayment()) == wanted;
    if (options.solveFor != SolveFor::Periods) {
        if (!gives) Finding("the answer does not give the payment", args, out);
        return;
    }

    // Walk the loan at the payment itself.
    const int periods = doc.GetNumPeriods();
    const double amount = doc.GetLoanAmount();
    double balance = amount;
    double owedAfter[3] = {};  // after periods - 1, periods and periods + 1 payments
    for (int k = 1; k <= periods + 1; ++k) {
        balance = Amortize(balance, wanted * 0.01, doc.GetPeriodicRate()).balance;
        if (k >= periods - 1) owedAfter[k - (periods - 1)] = balance * amount;
    }
    if (periods == 1) owedAfter[0] = amount * amount;
    if (!(owedAfter[0] > 0.0)) Finding("the loan is paid off before its last period", args, out);
    if (owedAfter[2] > 0.0) Finding("the loan is not paid off a period after its last", args, out);
    if (owedAfter[1] > 0.0 && !gives) {
        Finding("one period fewer than the walk takes, without the payment", args, out);
    }
    if (owedAfter[1] <= 0.0 && !gives && periods > 1) {
        doc.SetNumPeriods(periods - 1);
        doc.ComputePayment();
        if (CentsOf(doc.GetPayment()) == wanted) {
            Finding("rounded up where the count below gives the payment", args, out);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = Arguments(data, size);
    const OleDateTime now = OleDateTime::FromDate(2024, 3, 15);
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunCliArguments(args, in, out, err, now);
    const std::string printed = out.str();
    if (status == cli::kExitUsageError) {
        if (err.str().empty() || !printed.empty()) {
            Finding("a refusal without a message, or with output", args, printed);
        }
        return 0;
    }
    if (status != cli::kExitSuccess) {
        Finding("exit status " + std::to_string(status) + ": " + err.str(), args, printed);
    }
    const auto parsed = cli::ParseCliArguments(args);
    const auto& options = std::get<cli::CliOptions>(parsed);
    if (options.command == cli::Command::Solve) {
        CheckSolve(options, printed, args, now);
    } else if (options.command == cli::Command::Refinance) {
        // The inputs echoed in JSON are as typed; the figures and the advice follow them.
        const std::size_t figures = printed.find("\"figures\"");
        CheckFigures(figures == std::string::npos ? std::string_view(printed)
                                                  : std::string_view(printed).substr(figures),
                     args, printed);
    }
    return 0;
}
