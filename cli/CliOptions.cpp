#include "cli/CliOptions.h"

#include "engine/LoanFile.h"
#include "engine/LoanTerms.h"
#include "engine/NumberParse.h"
#include "engine/TermsCheck.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <string_view>

namespace brellow::cli {

namespace {

enum class Key {
    Amount,
    Periods,
    Rate,
    FirstPayment,
    PaymentPeriod,
    Compounding,
    Extra,
    Balloon,
    Open,
    Year,
    Format,
    Output,
    Refinance,  // one of the advisor's fields
};

struct OptionName {
    std::string_view name;
    Key key;
    RefinanceField field = RefinanceField::OriginalAmount;
};

constexpr std::array kLoanOptions{
    OptionName{"--amount", Key::Amount},
    OptionName{"--periods", Key::Periods},
    OptionName{"--rate", Key::Rate},
    OptionName{"--first-payment", Key::FirstPayment},
    OptionName{"--payment-period", Key::PaymentPeriod},
    OptionName{"--compounding", Key::Compounding},
    OptionName{"--extra", Key::Extra},
    OptionName{"--balloon", Key::Balloon},
    OptionName{"--open", Key::Open},
    OptionName{"--year", Key::Year},
    OptionName{"--format", Key::Format},
    OptionName{"--output", Key::Output},
};

// In RefinanceField's order.
constexpr std::array kRefinanceOptions{
    OptionName{"--original-amount", Key::Refinance, RefinanceField::OriginalAmount},
    OptionName{"--years", Key::Refinance, RefinanceField::Years},
    OptionName{"--rate", Key::Refinance, RefinanceField::Rate},
    OptionName{"--months-paid", Key::Refinance, RefinanceField::MonthsPaid},
    OptionName{"--tax-bracket", Key::Refinance, RefinanceField::TaxBracket},
    OptionName{"--new-years", Key::Refinance, RefinanceField::NewYears},
    OptionName{"--new-rate", Key::Refinance, RefinanceField::NewRate},
    OptionName{"--points", Key::Refinance, RefinanceField::Points},
    OptionName{"--closing-cost", Key::Refinance, RefinanceField::ClosingCost},
};

constexpr std::array<std::string_view, 5> kFormatNames{"text", "html", "table", "csv", "brw"};

// The years --year accepts: those a payment date can have.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool StartsWithDashes(std::string_view text) {
    return text.size() >= 2 && text.substr(0, 2) == "--";
}

// Optional blanks, an optional sign and digits only: an integer too large to hold.
bool LooksLikeInteger(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    text.remove_prefix(first);
    text = text.substr(0, text.find_last_not_of(' ') + 1);
    if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename Names>
std::string JoinNames(const Names& names, std::string_view separator) {
    std::string joined;
    for (const auto& name : names) {
        if (!joined.empty()) joined += separator;
        joined += name;
    }
    return joined;
}

class Parser {
public:
    explicit Parser(std::span<const std::string> args) : m_args(args) {}

    std::variant<CliOptions, UsageError> Run();

private:
    // Each returns an error message, empty on success.
    std::string Apply(const OptionName& option, std::string_view value);
    std::string ApplyLoanTerm(Key key, std::string_view value);
    std::string CheckCombination() const;

    std::span<const std::string> m_args;
    CliOptions m_options;
};

std::string Quoted(std::string_view option, std::string_view value) {
    return std::string(option) + " \"" + std::string(value) + "\": ";
}

// A name of one frequency vocabulary, without regard to case, into `code`; else a
// message listing the vocabulary's names.
std::string ParseFrequencyOption(std::string_view value, int count, std::string (*nameOf)(int),
                                 const char* what, std::optional<int>& code) {
    const std::string wanted = Lower(value);
    std::string names;
    for (int candidate = 0; candidate < count; ++candidate) {
        const std::string name = nameOf(candidate);
        if (Lower(name) == wanted) {
            code = candidate;
            return {};
        }
        names += (candidate > 0 ? ", " : "") + name;
    }
    return "unknown " + std::string(what) + "; valid names: " + names + ".";
}

// An int option: the range message when the text is an integer too large to hold.
std::optional<int> ParseIntOption(std::string_view value, long long low, long long high,
                                  std::string& error) {
    const auto parsed = ParseInt(value);
    if (!parsed) {
        error =
            LooksLikeInteger(value) ? IntegerRangeMessage(low, high) : "Please enter an integer.";
    }
    return parsed;
}

std::string Parser::ApplyLoanTerm(Key key, std::string_view value) {
    TermsOverrides& terms = m_options.terms;
    std::string error;
    switch (key) {
        case Key::Amount:
        case Key::Rate:
        case Key::Extra: {
            const auto number = ParseDouble(value);
            if (!number) return "Please enter a number.";
            (key == Key::Amount ? terms.amount
             : key == Key::Rate ? terms.rate
                                : terms.additionalPayment) = *number;
            return {};
        }
        case Key::Periods:
            terms.periods = ParseIntOption(value, 0, kMaxPeriods, error);
            return error;
        case Key::Balloon:
            terms.balloonPeriod = ParseIntOption(value, 1, kMaxPeriods, error);
            return error;
        case Key::FirstPayment:
            terms.firstPayment = ParseDate(value);
            if (!terms.firstPayment) {
                return "Please enter a date and/or time. Dates read MM/DD/YYYY or YYYY-MM-DD.";
            }
            return {};
        case Key::PaymentPeriod:
            return ParseFrequencyOption(value, kPaymentFrequencyCount, &PaymentFrequencyName,
                                        "payment period", terms.paymentFrequency);
        case Key::Compounding:
            return ParseFrequencyOption(value, kCompoundFrequencyCount, &CompoundFrequencyName,
                                        "compounding", terms.compoundFrequency);
        default:
            return {};
    }
}

std::string Parser::Apply(const OptionName& option, std::string_view value) {
    const Key key = option.key;
    if (key == Key::Refinance) {
        const auto refusal = SetRefinanceField(m_options.refinance, option.field, value);
        return refusal ? Quoted(option.name, value) + refusal->message : std::string();
    }
    switch (key) {
        case Key::Open:
        case Key::Output:
            if (value.empty()) return std::string(option.name) + ": Please enter a file name.";
            (key == Key::Open ? m_options.openPath : m_options.outputPath) = std::string(value);
            return {};
        case Key::Year: {
            std::string error;
            m_options.year = ParseIntOption(value, kFirstYear, kLastYear, error);
            if (error.empty() && (*m_options.year < kFirstYear || *m_options.year > kLastYear)) {
                error = IntegerRangeMessage(kFirstYear, kLastYear);
            }
            return error.empty() ? error : Quoted(option.name, value) + error;
        }
        case Key::Format: {
            const auto found = std::find(kFormatNames.begin(), kFormatNames.end(), Lower(value));
            if (found == kFormatNames.end()) {
                return Quoted(option.name, value) +
                       "unknown format; valid formats: " + JoinNames(kFormatNames, ", ") + ".";
            }
            m_options.format = static_cast<OutputFormat>(found - kFormatNames.begin());
            return {};
        }
        default: {
            const std::string error = ApplyLoanTerm(key, value);
            return error.empty() ? error : Quoted(option.name, value) + error;
        }
    }
}

std::string Parser::CheckCombination() const {
    if (m_options.command != Command::Loan) return {};
    if (m_options.format == OutputFormat::Brw) {
        if (!m_options.outputPath)
            return "--format brw needs --output FILE: a document file is binary.";
        if (m_options.year)
            return "--year does not apply to --format brw: a document file holds every year.";
    }
    return {};
}

std::variant<CliOptions, UsageError> Parser::Run() {
    static_assert(kLoanOptions.size() >= kRefinanceOptions.size());
    std::bitset<kLoanOptions.size()> seen;  // by place in the option table
    for (std::size_t i = 0; i < m_args.size(); ++i) {
        const std::string& arg = m_args[i];
        if (i == 0 && Lower(arg) == "refinance") {
            m_options.command = Command::Refinance;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string_view written = std::string_view(arg).substr(0, equals);
        const std::string name = Lower(written);
        if (name == "--help" || name == "-h") {
            m_options.command = Command::Help;
            return m_options;
        }
        if (name == "--version") {
            m_options.command = Command::Version;
            return m_options;
        }
        if (!StartsWithDashes(arg)) {
            return UsageError{"unexpected argument \"" + arg +
                              "\"; options start with \"--\" (\"refinance\" only as the first "
                              "argument). See brellow-cli --help."};
        }

        const bool refinance = m_options.command == Command::Refinance;
        const std::span<const OptionName> table =
            refinance ? std::span<const OptionName>(kRefinanceOptions)
                      : std::span<const OptionName>(kLoanOptions);
        const auto option = std::find_if(table.begin(), table.end(),
                                         [&](const OptionName& o) { return o.name == name; });
        if (option == table.end()) {
            std::string valid;
            for (const OptionName& o : table)
                valid += (valid.empty() ? "" : ", ") + std::string(o.name);
            return UsageError{"unknown option \"" + std::string(written) + "\"" +
                              (refinance ? " for refinance" : "") + "; valid options: " + valid +
                              ", --help, --version."};
        }
        const auto index = static_cast<std::size_t>(option - table.begin());
        if (seen.test(index))
            return UsageError{std::string(option->name) + " is given more than once."};
        seen.set(index);

        std::string_view value;
        if (equals != std::string::npos) {
            value = std::string_view(arg).substr(equals + 1);
        } else if (i + 1 < m_args.size() && !StartsWithDashes(m_args[i + 1])) {
            value = m_args[++i];
        } else {
            return UsageError{std::string(option->name) + " needs a value."};
        }
        if (std::string error = Apply(*option, value); !error.empty()) {
            return UsageError{std::move(error)};
        }
    }
    if (std::string error = CheckCombination(); !error.empty()) return UsageError{std::move(error)};
    return m_options;
}

}  // namespace

bool TermsOverrides::Any() const noexcept {
    return amount || periods || rate || firstPayment || paymentFrequency || compoundFrequency ||
           additionalPayment || balloonPeriod;
}

std::variant<CliOptions, UsageError> ParseCliArguments(std::span<const std::string> args) {
    return Parser(args).Run();
}

std::string RefinanceOptionName(RefinanceField field) {
    return std::string(kRefinanceOptions[static_cast<std::size_t>(field)].name);
}

std::string UsageText() {
    return "Usage:\n"
           "  brellow-cli [TERMS] [--open FILE.brw] [--year YYYY] [--format FORMAT] [--output "
           "FILE]\n"
           "  brellow-cli refinance --original-amount A --years N --rate R --months-paid M\n"
           "                        --tax-bracket T --new-years N --new-rate R --points P\n"
           "                        --closing-cost C\n"
           "  brellow-cli --help | --version\n"
           "\n"
           "Computes a loan's amortization schedule and writes it as the desktop program does.\n"
           "\n"
           "TERMS:\n"
           "  --amount A               loan amount (stored rounded to cents)\n"
           "  --periods N              number of payment periods\n"
           "  --rate R                 annual interest rate in percent\n"
           "  --first-payment DATE     MM/DD/YYYY or YYYY-MM-DD; default: the first of next month\n"
           "                           (today when today is the first)\n"
           "  --payment-period NAME    Weekly BiWeekly Monthly BiMonthly Quarterly SemiAnnually\n"
           "                           Annually (default Monthly)\n"
           "  --compounding NAME       Daily Weekly BiWeekly Monthly BiMonthly Quarterly\n"
           "                           SemiAnnually Annually Continuous (default Monthly)\n"
           "  --extra X                additional payment per period\n"
           "  --balloon N              balloon payoff at payment N\n"
           "\n"
           "Other options:\n"
           "  --open FILE.brw          start from a saved loan; TERMS given as well override it\n"
           "  --year YYYY              list one calendar year only\n"
           "  --format FORMAT          text (default) | html | table | csv | brw\n"
           "  --output FILE            write to FILE instead of standard output (brw needs it)\n"
           "\n"
           "Names are matched without regard to case; a value may also follow \"=\" (--rate=6).\n"
           "The payment is always computed from the terms.\n"
           "\n"
           "Exit status: 0 success, 1 a file could not be read or written or was refused,\n"
           "2 a usage error or terms that cannot be computed.\n"
           "\n"
           "Example:\n"
           "  brellow-cli --amount 100000 --rate 6 --periods 360 --first-payment 01/01/2003\n";
}

}  // namespace brellow::cli
