#include "cli/CliOptions.h"

#include "tests/support/MoneyTexts.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace brellow::cli {
namespace {

std::variant<CliOptions, UsageError> Parse(const std::vector<std::string>& args) {
    return ParseCliArguments(args);
}

CliOptions Parsed(const std::vector<std::string>& args) {
    auto result = Parse(args);
    if (const auto* error = std::get_if<UsageError>(&result)) {
        ADD_FAILURE() << error->message;
        return {};
    }
    return std::get<CliOptions>(result);
}

std::string ErrorOf(const std::vector<std::string>& args) {
    auto result = Parse(args);
    const auto* error = std::get_if<UsageError>(&result);
    return error ? error->message : "(accepted)";
}

TEST(ParseCliArguments, NothingGivenIsTheTextOfANewLoan) {
    const CliOptions options = Parsed({});
    EXPECT_EQ(Command::Loan, options.command);
    EXPECT_EQ(OutputFormat::Text, options.format);
    EXPECT_FALSE(options.terms.Any());
    EXPECT_FALSE(options.openPath || options.year || options.outputPath);
}

TEST(ParseCliArguments, NamesIgnoreCaseAndValuesMayFollowEquals) {
    const CliOptions options = Parsed({"--AMOUNT=1500.5",
                                       "--Payment-Period",
                                       "biweekly",
                                       "--COMPOUNDING",
                                       "CONTINUOUS",
                                       "--format",
                                       "Csv",
                                       "--first-payment",
                                       "2003-01-31",
                                       "--extra=-2.5",
                                       "--Balloon",
                                       "12",
                                       "--periods",
                                       " 24 ",
                                       "--rate",
                                       "0",
                                       "--year",
                                       "2003",
                                       "--output",
                                       "a=b.csv",
                                       "--open",
                                       "x.brw"});
    EXPECT_EQ(1500.5, options.terms.amount);
    EXPECT_EQ(1, options.terms.paymentFrequency);
    EXPECT_EQ(8, options.terms.compoundFrequency);
    EXPECT_EQ(OutputFormat::Csv, options.format);
    EXPECT_EQ(OleDateTime::FromDate(2003, 1, 31), options.terms.firstPayment);
    EXPECT_EQ(-2.5, options.terms.additionalPayment);
    EXPECT_EQ(12, options.terms.balloonPeriod);
    EXPECT_EQ(24, options.terms.periods);
    EXPECT_EQ(0.0, options.terms.rate);
    EXPECT_EQ(2003, options.year);
    EXPECT_EQ("a=b.csv", options.outputPath);
    EXPECT_EQ("x.brw", options.openPath);
}

TEST(ParseCliArguments, UsageErrorsNameTheOptionAndTheText) {
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--amount"}, "--amount needs a value."},
        {{"--amount", "--rate", "6"}, "--amount needs a value."},
        {{"--rate", "6", "--RATE", "7"}, "--rate is given more than once."},
        {{"--amount", ""}, "--amount \"\": Please enter a number."},
        {{"--amount", "nan"}, "--amount \"nan\": Please enter a number."},
        {{"--rate", "inf"}, "--rate \"inf\": Please enter a number."},
        {{"--extra", "1e400"}, "--extra \"1e400\": Please enter a number."},
        {{"--amount", "1,50"}, "--amount \"1,50\": Please enter a number."},
        {{"--rate", "$6"}, "--rate \"$6\": Please enter a number."},
        {{"--periods", "99999999999"},
         "--periods \"99999999999\": Please enter an integer between 0 and 1000000."},
        {{"--periods", "3.5"}, "--periods \"3.5\": Please enter an integer."},
        {{"--periods", "\t99999999999\t"},
         "--periods \"\t99999999999\t\": Please enter an integer between 0 and 1000000."},
        {{"--balloon", "-99999999999"},
         "--balloon \"-99999999999\": Please enter an integer between 1 and 1000000."},
        {{"--first-payment", "02/30/2003"},
         "--first-payment \"02/30/2003\": Please enter a date and/or time. Dates read "
         "MM/DD/YYYY or YYYY-MM-DD."},
        {{"--payment-period", "Fortnightly"},
         "--payment-period \"Fortnightly\": unknown payment period; valid names: Weekly, "
         "BiWeekly, Monthly, BiMonthly, Quarterly, SemiAnnually, Annually."},
        {{"--compounding", "Continuously"},
         "--compounding \"Continuously\": unknown compounding; valid names: Daily, Weekly, "
         "BiWeekly, Monthly, BiMonthly, Quarterly, SemiAnnually, Annually, Continuous."},
        {{"--format", "pdf"},
         "--format \"pdf\": unknown format; valid formats: text, html, table, csv, brw, json."},
        {{"--year", "-1"}, "--year \"-1\": Please enter an integer between 100 and 9999."},
        {{"--year", "10000"}, "--year \"10000\": Please enter an integer between 100 and 9999."},
        {{"--open", ""}, "--open: Please enter a file name."},
        {{"--output="}, "--output: Please enter a file name."},
        {{"--format", "brw"},
         "--format brw needs --output FILE (or -): a document file is binary."},
        {{"--format", "BRW", "--output", "x.brw", "--year", "2003"},
         "--year does not apply to --format brw: a document file holds every year."},
        {{"refinance", "--years", "-3"}, "--years \"-3\": Please enter a positive integer."},
        {{"refinance", "--points", "nan"}, "--points \"nan\": Please enter a number."},
        {{"refinance", "--format", "csv"},
         "--format csv does not apply to refinance: it writes text or json."},
        {{"compare", "a.brw", "--format", "table"},
         "--format table does not apply to compare: it writes text, csv or json."},
        {{"compare", "--format", "csv"}, "compare needs at least one loan file."},
        {{"compare", "-", "a.brw", "-"}, "compare reads standard input (\"-\") only once."},
        {{"solve", "--payment", "1,5"}, "--payment \"1,5\": Please enter a number."},
        {{"solve", "--amount", "1", "--periods", "2", "--rate", "3", "--payment", "4"},
         "solve needs exactly one of --amount, --periods, --rate and --payment left out; all "
         "four are given."},
        {{"solve", "--amount", "1", "--periods", "2"},
         "solve needs exactly one of --amount, --periods, --rate and --payment left out; 2 are "
         "left out."},
    };
    for (const auto& c : cases) EXPECT_EQ(c.message, ErrorOf(c.args)) << c.args.front();
}

TEST(ParseCliArguments, MoneyOptionsReadAmountsAsTheProgramShowsThem) {
    using Field = std::optional<double> (*)(const CliOptions&);
    const struct {
        std::vector<std::string> lead;  // ends with the option
        Field given;
    } options[] = {
        {{"--amount"}, [](const CliOptions& o) { return o.terms.amount; }},
        {{"--extra"}, [](const CliOptions& o) { return o.terms.additionalPayment; }},
        {{"solve", "--rate", "6", "--periods", "360", "--payment"},
         [](const CliOptions& o) { return o.payment; }},
        {{"refinance", "--original-amount"},
         [](const CliOptions& o) { return std::optional(o.refinance.originalAmount); }},
        {{"refinance", "--closing-cost"},
         [](const CliOptions& o) { return std::optional(o.refinance.closingCost); }},
    };
    for (const auto& option : options) {
        for (const auto& [text, value] : test::kMoneyTexts) {
            std::vector<std::string> args = option.lead;
            args.push_back(text);
            if (value) {
                EXPECT_EQ(value, option.given(Parsed(args))) << option.lead.back() << text;
            } else {
                EXPECT_EQ(option.lead.back() + " \"" + text + "\": Please enter a number.",
                          ErrorOf(args));
            }
        }
    }
}

TEST(ParseCliArguments, UnknownWordsListWhatIsValid) {
    EXPECT_EQ(
        "unknown option \"--Bogus\"; valid options: --amount, --periods, --rate, "
        "--first-payment, --payment-period, --compounding, --extra, --balloon, --open, --year, "
        "--format, --output, --help, --version.",
        ErrorOf({"--Bogus", "1"}));
    EXPECT_EQ(
        "unknown option \"--amount\" for refinance; valid options: --original-amount, --years, "
        "--rate, --months-paid, --tax-bracket, --new-years, --new-rate, --points, "
        "--closing-cost, --format, --help, --version.",
        ErrorOf({"refinance", "--amount", "5"}));
    EXPECT_EQ(
        "unknown option \"--extra\" for solve; valid options: --amount, --periods, --rate, "
        "--payment, --first-payment, --payment-period, --compounding, --help, --version.",
        ErrorOf({"SOLVE", "--extra", "5"}));
    EXPECT_EQ("unknown option \"--year\" for compare; valid options: --format, --help, --version.",
              ErrorOf({"compare", "a.brw", "--year", "2003"}));
    const std::string unexpected =
        "; options start with \"--\" (\"solve\", \"refinance\" and \"compare\" only as the "
        "first argument). See brellow-cli --help.";
    EXPECT_EQ("unexpected argument \"\"" + unexpected, ErrorOf({""}));
    EXPECT_EQ("unexpected argument \"360\"" + unexpected, ErrorOf({"--periods", "12", "360"}));
    EXPECT_EQ("unexpected argument \"refinance\"" + unexpected,
              ErrorOf({"--amount", "5", "refinance"}));
    EXPECT_EQ("unexpected argument \"-5\"" + unexpected, ErrorOf({"-5"}));
}

TEST(ParseCliArguments, HelpAndVersionWinWhereverTheyStand) {
    EXPECT_EQ(Command::Help, Parsed({"--amount", "5", "--HELP"}).command);
    EXPECT_EQ(Command::Help, Parsed({"refinance", "-h"}).command);
    EXPECT_EQ(Command::Version, Parsed({"--version", "--format", "pdf"}).command);
}

TEST(ParseCliArguments, RefinanceFieldsDefaultToZero) {
    const CliOptions options = Parsed({"Refinance", "--original-amount", "120000", "--YEARS", "10",
                                       "--new-years=20", "--closing-cost", "15000"});
    EXPECT_EQ(Command::Refinance, options.command);
    EXPECT_EQ(120000.0, options.refinance.originalAmount);
    EXPECT_EQ(10u, options.refinance.years);
    EXPECT_EQ(20u, options.refinance.newYears);
    EXPECT_EQ(15000.0, options.refinance.closingCost);
    EXPECT_EQ(0.0, options.refinance.rate);
    EXPECT_EQ(0u, options.refinance.monthsPaid);
    EXPECT_EQ("--tax-bracket", RefinanceOptionName(RefinanceField::TaxBracket));
}

TEST(ParseCliArguments, SolveFindsTheTermLeftOut) {
    const struct {
        std::vector<std::string> args;
        SolveFor missing;
    } cases[] = {
        {{"solve", "--payment", "599.55", "--rate", "6", "--periods", "360"}, SolveFor::Amount},
        {{"solve", "--payment=599.55", "--rate=6", "--amount=100000"}, SolveFor::Periods},
        {{"solve", "--payment", "599.55", "--periods", "360", "--amount", "1e5"}, SolveFor::Rate},
        {{"Solve", "--amount", "1e5", "--rate", "6", "--periods", "360", "--compounding", "daily"},
         SolveFor::Payment},
    };
    for (const auto& c : cases) {
        const CliOptions options = Parsed(c.args);
        EXPECT_EQ(Command::Solve, options.command);
        EXPECT_EQ(c.missing, options.solveFor) << c.args[1];
    }
    EXPECT_EQ(599.55, Parsed(cases[0].args).payment);
    EXPECT_EQ(OutputFormat::Json, Parsed({"refinance", "--format", "JSON", "--years", "1"}).format);
}

TEST(UsageText, SpellsTheOptionTablesAsHelpAlwaysHas) {
    EXPECT_EQ(
        "Usage:\n"
        "  brellow-cli [TERMS] [--open FILE.brw] [--year YYYY] [--format FORMAT] [--output "
        "FILE]\n"
        "  brellow-cli solve --amount A --periods N --rate R --payment P\n"
        "                    --first-payment DATE --payment-period NAME\n"
        "                    --compounding NAME\n"
        "  brellow-cli refinance --original-amount A --years N --rate R --months-paid M\n"
        "                        --tax-bracket T --new-years N --new-rate R --points P\n"
        "                        --closing-cost C --format FORMAT\n"
        "  brellow-cli compare FILE.brw... [--format text|csv|json]\n"
        "  brellow-cli --help | --version\n"
        "\n"
        "Computes a loan's amortization schedule and writes it as the desktop program does.\n"
        "solve prints the one of --amount, --periods, --rate and --payment that is left out:\n"
        "the amount in whole cents and the rate with six decimals that give the payment, or\n"
        "the number of periods in which that payment pays the loan off.\n"
        "compare prints the loans' terms and payoff figures side by side, one column a file,\n"
        "with what each costs beyond the cheapest (least total interest; the first on a tie).\n"
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
        "  --open FILE.brw          start from a saved loan (- reads standard input);\n"
        "                           TERMS given as well override it\n"
        "  --year YYYY              list one calendar year only\n"
        "  --format FORMAT          text (default) | html | table | csv | brw | json\n"
        "                           (refinance: text or json; compare: text, csv or json)\n"
        "  --output FILE            write to FILE instead of standard output (brw needs\n"
        "                           FILE, or - for standard output)\n"
        "\n"
        "solve also takes:\n"
        "  --payment P              payment per period\n"
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
        "  brellow-cli compare 30-years.brw 15-years.brw --format csv\n",
        UsageText());
}

}  // namespace
}  // namespace brellow::cli
