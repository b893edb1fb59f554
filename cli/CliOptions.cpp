#include "cli/CliOptions.h"

#include "engine/Limits.h"
#include "engine/LoanTerms.h"
#include "engine/NumberParse.h"
#include "engine/TermsCheck.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <string_view>

namespace brellow::cli {

namespace {

// The terms come first: --help lists them apart from the other options.
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
    Payment,    // solve only
    Refinance,  // one of the advisor's fields
};

bool IsLoanTerm(Key key) {
    return key <= Key::Balloon;
}

// One option as parsing reads it and --help shows it.
struct Option {
    std::string_view name;
    std::string_view placeholder;  // the value's name in --help
    Key key;
    std::string_view help;  // a "\n" starts a line under the first
    RefinanceField field = RefinanceField::OriginalAmount;
};

constexpr std::array kLoanOptions{
    Option{"--amount", "A", Key::Amount, "loan amount (stored rounded to cents)"},
    Option{"--periods", "N", Key::Periods, "number of payment periods"},
    Option{"--rate", "R", Key::Rate, "annual interest rate in percent"},
    Option{"--first-payment", "DATE", Key::FirstPayment,
           "MM/DD/YYYY or YYYY-MM-DD; default: the first of next month\n"
           "(today when today is the first)"},
    Option{"--payment-period", "NAME", Key::PaymentPeriod,
           "Weekly BiWeekly Monthly BiMonthly Quarterly SemiAnnually\n"
           "Annually (default Monthly)"},
    Option{"--compounding", "NAME", Key::Compounding,
           "Daily Weekly BiWeekly Monthly BiMonthly Quarterly\n"
           "SemiAnnually Annually Continuous (default Monthly)"},
    Option{"--extra", "X", Key::Extra, "additional payment per period"},
    Option{"--balloon", "N", Key::Balloon, "balloon payoff at payment N"},
    Option{"--open", "FILE.brw", Key::Open,
           "start from a saved loan (- reads standard input);\n"
           "TERMS given as well override it"},
    Option{"--year", "YYYY", Key::Year, "list one calendar year only"},
    Option{"--format", "FORMAT", Key::Format,
           "text (default) | html | table | csv | brw | json\n"
           "(refinance: text or json; compare: text, csv or json)"},
    Option{"--output", "FILE", Key::Output,
           "write to FILE instead of standard output (brw needs\n"
           "FILE, or - for standard output)"},
};

// The loan option for `key`; naming a key that has none does not compile.
constexpr Option LoanOption(Key key) {
    for (const Option& option : kLoanOptions) {
        if (option.key == key) return option;
    }
    throw "no loan option has this key";
}

// The terms that price the payment, and the payment.
constexpr std::array kSolveOptions{
    LoanOption(Key::Amount),       LoanOption(Key::Periods),
    LoanOption(Key::Rate),         Option{"--payment", "P", Key::Payment, "payment per period"},
    LoanOption(Key::FirstPayment), LoanOption(Key::PaymentPeriod),
    LoanOption(Key::Compounding),
};

// The fields in RefinanceField's order, then --format; --help shows them in the
// synopsis only.
constexpr std::array kRefinanceOptions{
    Option{"--original-amount", "A", Key::Refinance, {}, RefinanceField::OriginalAmount},
    Option{"--years", "N", Key::Refinance, {}, RefinanceField::Years},
    Option{"--rate", "R", Key::Refinance, {}, RefinanceField::Rate},
    Option{"--months-paid", "M", Key::Refinance, {}, RefinanceField::MonthsPaid},
    Option{"--tax-bracket", "T", Key::Refinance, {}, RefinanceField::TaxBracket},
    Option{"--new-years", "N", Key::Refinance, {}, RefinanceField::NewYears},
    Option{"--new-rate", "R", Key::Refinance, {}, RefinanceField::NewRate},
    Option{"--points", "P", Key::Refinance, {}, RefinanceField::Points},
    Option{"--closing-cost", "C", Key::Refinance, {}, RefinanceField::ClosingCost},
    LoanOption(Key::Format),
};

// compare takes its files as arguments of their own.
constexpr std::array kCompareOptions{LoanOption(Key::Format)};

static_assert(
    [] {
        for (std::size_t i = 0; i < kRefinanceOptions.size(); ++i) {
            const Option& option = kRefinanceOptions[i];
            if (option.key == Key::Refinance && static_cast<std::size_t>(option.field) != i) {
                return false;
            }
        }
        return true;
    }(),
    "RefinanceOptionName indexes kRefinanceOptions by field");

// In OutputFormat's order.
constexpr std::array<std::string_view, 6> kFormatNames{"text", "html", "table",
                                                       "csv",  "brw",  "json"};

std::span<const Option> OptionsOf(Command command) {
    switch (command) {
        case Command::Solve:
            return kSolveOptions;
        case Command::Refinance:
            return kRefinanceOptions;
        case Command::Compare:
            return kCompareOptions;
        default:
            return kLoanOptions;
    }
}

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
    text = TrimBlanks(text);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
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

// "--year YYYY"
std::string Spelled(const Option& option) {
    return std::string(option.name) + ' ' + std::string(option.placeholder);
}

// The options spelled after `lead`, wrapped to 80 columns under the first.
void AppendSynopsis(std::string& out, std::string_view lead, std::span<const Option> options) {
    constexpr std::size_t kWidth = 80;
    std::string line(lead);
    for (const Option& option : options) {
        const std::string word = ' ' + Spelled(option);
        if (line.size() > lead.size() && line.size() + word.size() > kWidth) {
            out += line + '\n';
            line.assign(lead.size(), ' ');
        }
        line += word;
    }
    out += line + '\n';
}

// "  --year YYYY              list one calendar year only": the help in a column
// of its own, its further lines starting under the first.
void AppendOptionHelp(std::string& out, const Option& option) {
    constexpr std::size_t kHelpColumn = 27;
    const std::string spelled = "  " + Spelled(option);
    out += spelled;
    out.append(spelled.size() < kHelpColumn ? kHelpColumn - spelled.size() : 1, ' ');
    for (const char c : option.help) {
        out += c;
        if (c == '\n') out.append(kHelpColumn, ' ');
    }
    out += '\n';
}

class Parser {
public:
    explicit Parser(std::span<const std::string> args) : m_args(args) {}

    std::variant<CliOptions, UsageError> Run();

private:
    // Each returns an error message, empty on success.
    std::string Apply(const Option& option, std::string_view value);
    std::string ApplyLoanTerm(Key key, std::string_view value);
    std::string CheckCombination() const;
    std::string SetTermToSolve();
    std::optional<double>& NumberOption(Key key);

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

std::optional<double>& Parser::NumberOption(Key key) {
    TermsOverrides& terms = m_options.terms;
    switch (key) {
        case Key::Amount:
            return terms.amount;
        case Key::Rate:
            return terms.rate;
        case Key::Extra:
            return terms.additionalPayment;
        default:
            return m_options.payment;
    }
}

std::string Parser::ApplyLoanTerm(Key key, std::string_view value) {
    TermsOverrides& terms = m_options.terms;
    std::string error;
    switch (key) {
        case Key::Amount:
        case Key::Rate:
        case Key::Extra:
        case Key::Payment: {
            const auto number = key == Key::Rate ? ParseDouble(value) : ParseMoney(value);
            if (!number) return "Please enter a number.";
            NumberOption(key) = *number;
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

std::string Parser::Apply(const Option& option, std::string_view value) {
    const Key key = option.key;
    if (key == Key::Refinance) {
        const auto refusal = SetRefinanceField(m_options.refinance, option.field, value);
        return refusal ? Quoted(option.name, value) + refusal->message : std::string();
    }
    switch (key) {
        case Key::Open:
        case Key::Output:
            if (value.empty()) return std::string(option.name) + ": Please enter a file name.";
            if (value == "-") {
                (key == Key::Open ? m_options.openStandardInput : m_options.outputStandardOutput) =
                    true;
            } else {
                (key == Key::Open ? m_options.openPath : m_options.outputPath) = std::string(value);
            }
            return {};
        case Key::Year: {
            std::string error;
            m_options.year = ParseIntOption(value, kMinYear, kMaxYear, error);
            if (error.empty() && (*m_options.year < kMinYear || *m_options.year > kMaxYear)) {
                error = IntegerRangeMessage(kMinYear, kMaxYear);
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
    const std::string format(kFormatNames[static_cast<std::size_t>(m_options.format)]);
    if (m_options.command == Command::Refinance && m_options.format != OutputFormat::Text &&
        m_options.format != OutputFormat::Json) {
        return "--format " + format + " does not apply to refinance: it writes text or json.";
    }
    if (m_options.command == Command::Compare) {
        if (m_options.format != OutputFormat::Text && m_options.format != OutputFormat::Csv &&
            m_options.format != OutputFormat::Json)
            return "--format " + format +
                   " does not apply to compare: it writes text, csv or json.";
        if (m_options.comparePaths.empty()) return "compare needs at least one loan file.";
        if (std::ranges::count(m_options.comparePaths, "-") > 1)
            return "compare reads standard input (\"-\") only once.";
    }
    if (m_options.command != Command::Loan) return {};
    if (m_options.format == OutputFormat::Brw) {
        if (!m_options.outputPath && !m_options.outputStandardOutput)
            return "--format brw needs --output FILE (or -): a document file is binary.";
        if (m_options.year)
            return "--year does not apply to --format brw: a document file holds every year.";
    }
    return {};
}

std::string Parser::SetTermToSolve() {
    const std::pair<bool, SolveFor> terms[] = {
        {m_options.terms.amount.has_value(), SolveFor::Amount},
        {m_options.terms.periods.has_value(), SolveFor::Periods},
        {m_options.terms.rate.has_value(), SolveFor::Rate},
        {m_options.payment.has_value(), SolveFor::Payment},
    };
    int leftOut = 0;
    for (const auto& [given, term] : terms) {
        if (!given) {
            ++leftOut;
            m_options.solveFor = term;
        }
    }
    if (leftOut == 1) return {};
    return "solve needs exactly one of --amount, --periods, --rate and --payment left out; " +
           (leftOut == 0 ? std::string("all four are given.")
                         : std::to_string(leftOut) + " are left out.");
}

std::variant<CliOptions, UsageError> Parser::Run() {
    static_assert(kLoanOptions.size() >= kRefinanceOptions.size() &&
                  kLoanOptions.size() >= kSolveOptions.size());
    std::bitset<kLoanOptions.size()> seen;  // by place in the option table
    for (std::size_t i = 0; i < m_args.size(); ++i) {
        const std::string& arg = m_args[i];
        if (const std::string word = Lower(arg);
            i == 0 && (word == "solve" || word == "refinance" || word == "compare")) {
            m_options.command = word == "solve"       ? Command::Solve
                                : word == "refinance" ? Command::Refinance
                                                      : Command::Compare;
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
        if (!StartsWithDashes(arg) && m_options.command == Command::Compare) {
            m_options.comparePaths.push_back(arg);
            continue;
        }
        if (!StartsWithDashes(arg)) {
            return UsageError{"unexpected argument \"" + arg +
                              "\"; options start with \"--\" (\"solve\", \"refinance\" and "
                              "\"compare\" only as the first argument). See brellow-cli --help."};
        }

        const std::span<const Option> table = OptionsOf(m_options.command);
        const auto option = std::find_if(table.begin(), table.end(),
                                         [&](const Option& o) { return o.name == name; });
        if (option == table.end()) {
            std::string valid;
            for (const Option& o : table)
                valid += (valid.empty() ? "" : ", ") + std::string(o.name);
            const std::string_view command =
                m_options.command == Command::Solve       ? " for solve"
                : m_options.command == Command::Refinance ? " for refinance"
                : m_options.command == Command::Compare   ? " for compare"
                                                          : "";
            return UsageError{"unknown option \"" + std::string(written) + "\"" +
                              std::string(command) + "; valid options: " + valid +
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
    if (m_options.command == Command::Solve) {
        if (std::string error = SetTermToSolve(); !error.empty())
            return UsageError{std::move(error)};
    }
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
    std::string text = "Usage:\n  brellow-cli [TERMS]";
    for (const Option& option : kLoanOptions) {
        if (!IsLoanTerm(option.key)) text += " [" + Spelled(option) + "]";
    }
    text += '\n';
    AppendSynopsis(text, "  brellow-cli solve", kSolveOptions);
    AppendSynopsis(text, "  brellow-cli refinance", kRefinanceOptions);
    text += "  brellow-cli compare FILE.brw... [--format text|csv|json]\n";
    text +=
        "  brellow-cli --help | --version\n"
        "\n"
        "Computes a loan's amortization schedule and writes it as the desktop program does.\n"
        "solve prints the one of --amount, --periods, --rate and --payment that is left out:\n"
        "the amount in whole cents and the rate with six decimals that give the payment, or\n"
        "the number of periods in which that payment pays the loan off.\n"
        "compare prints the loans' terms and payoff figures side by side, one column a file,\n"
        "with what each costs beyond the cheapest (least total interest; the first on a tie).\n"
        "\n"
        "TERMS:\n";
    for (const Option& option : kLoanOptions) {
        if (IsLoanTerm(option.key)) AppendOptionHelp(text, option);
    }
    text += "\nOther options:\n";
    for (const Option& option : kLoanOptions) {
        if (!IsLoanTerm(option.key)) AppendOptionHelp(text, option);
    }
    text += "\nsolve also takes:\n";
    for (const Option& option : kSolveOptions) {
        if (!IsLoanTerm(option.key)) AppendOptionHelp(text, option);
    }
    return text +
           "\n"
           "Names are matched without regard to case; a value may also follow \"=\" (--rate=6).\n"
           "The payment is always computed from the terms.\n"
           "\n"
           "Exit status: 0 success, 1 a file could not be read or written or was refused,\n"
           "2 a usage error or terms that cannot be computed or solved.\n"
           "\n"
           "Examples:\n"
           "  brellow-cli --amount 100000 --rate 6 --periods 360 --first-payment 01/01/2003\n"
           "  brellow-cli solve --payment 599.55 --rate 6 --periods 360\n"
           "  brellow-cli compare 30-years.brw 15-years.brw --format csv\n";
}

}  // namespace brellow::cli
