#include "cli/CliRun.h"

#include "engine/CTamsicDoc.h"
#include "engine/LoanFile.h"
#include "tests/support/TestLoans.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace brellow::cli {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

const OleDateTime kNow = OleDateTime::FromDate(2024, 3, 15);

// `input` is what standard input holds.
Outcome RunArgs(const std::vector<std::string>& args, const OleDateTime& now = kNow,
                const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    outcome.status = RunCliArguments(args, in, out, err, now);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

const std::vector<std::string> kMortgage = {"--amount",  "100000", "--rate",          "6",
                                            "--periods", "360",    "--first-payment", "01/01/2003"};

std::vector<std::string> Mortgage(std::vector<std::string> more) {
    more.insert(more.begin(), kMortgage.begin(), kMortgage.end());
    return more;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RunCli, WritesTheTextExportOfTheTerms) {
    const Outcome run = RunArgs(kMortgage);
    EXPECT_EQ(kExitSuccess, run.status);
    EXPECT_EQ("", run.err);
    EXPECT_NE(std::string::npos, run.out.find("\r\nPayment per Period: $599.55\r\n"));
    EXPECT_EQ(
        "360\t12/01/2032\t$600.08\t$2.99\t$597.09\t$0.00\r\n"
        "Running Totals:\t\t$215,838.53\t$115,838.53\t$100,000.00\r\n",
        run.out.substr(run.out.rfind("360\t")));
}

TEST(RunCli, EachFormatWritesItsBytes) {
    const std::string text = RunArgs(kMortgage).out;
    const std::string table = RunArgs(Mortgage({"--format", "table"})).out;
    EXPECT_EQ(text.substr(text.find("Period\t")), table);
    EXPECT_TRUE(RunArgs(Mortgage({"--format", "HTML"})).out.starts_with("<html>\r\n<body>\r\n"));
    EXPECT_TRUE(RunArgs(Mortgage({"--format", "csv"}))
                    .out.starts_with("Period,Date,Payment,Interest,Principal,Balance\r\n"
                                     "1,2003-01-01,599.55,500.00,99.55,99900.45\r\n"));
}

TEST(RunCli, FirstPaymentDefaultsToTheNewDocumentRule) {
    const std::vector<std::string> loan = {"--amount", "1200", "--periods", "2"};
    EXPECT_NE(std::string::npos, RunArgs(loan).out.find("\r\n1\t04/01/2024\t"));
    const Outcome onTheFirst = RunArgs(loan, OleDateTime::FromCivil({2024, 5, 1, 9, 30, 0}));
    EXPECT_NE(std::string::npos, onTheFirst.out.find("\r\n1\t05/01/2024\t"));
    EXPECT_NE(std::string::npos, onTheFirst.out.find("\r\n2\t06/01/2024\t"));
}

TEST(RunCli, YearListsOneYearOfTheLoan) {
    const Outcome run = RunArgs(Mortgage({"--year", "2004"}));
    EXPECT_EQ(kExitSuccess, run.status);
    EXPECT_NE(std::string::npos, run.out.find("\r\n13\t01/01/2004\t"));
    EXPECT_EQ(std::string::npos, run.out.find("\r\n25\t"));
    EXPECT_NE(std::string::npos, run.out.find("\r\nAnnual Totals:\t\t$7,194.60\t"));
    // A year without payments is listed as empty, not refused.
    EXPECT_EQ(kExitSuccess, RunArgs(Mortgage({"--year", "2100"})).status);
}

TEST(RunCli, RefusesTermsAsTheDialogDoes) {
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--periods", "-1"}, "--periods: Please enter an integer between 0 and 1000000."},
        {{"--amount", "1e12"},
         "--amount: Please enter a loan amount between -999,999,999,999.99 and "
         "999,999,999,999.99."},
        {{"--periods", "12", "--balloon", "13"},
         "--balloon: Please enter an integer between 1 and 12."},
        {{"--periods", "12", "--rate", "-500", "--compounding", "quarterly"},
         "--rate: The interest rate per payment period cannot be computed for this annual rate "
         "and compounding period. Please enter another rate."},
        {{"--periods", "1000000", "--payment-period", "weekly", "--first-payment", "01/01/2026"},
         "--first-payment: The last payment would fall after 12/31/9999. Please enter an "
         "earlier first payment date or fewer periods."},
        {{"--amount", "-1000", "--rate", "1e100", "--periods", "12", "--extra", "1",
          "--first-payment", "01/01/2003", "--format", "csv"},
         "--periods: With these terms the schedule's amounts would exceed what can be shown to "
         "the cent. Please enter fewer periods, a lower rate or a smaller amount."},
        {{"--amount", "100000", "--rate", "6", "--periods", "50000", "--payment-period", "weekly",
          "--first-payment", "01/01/2000"},
         "--periods: With these terms the schedule's amounts would exceed what can be shown to "
         "the cent. Please enter fewer periods, a lower rate or a smaller amount."},
        {Mortgage({"--payment-period", "annually", "--year", "2003"}),
         "--year: a loan paid annually is not listed by year."},
        // What was typed comes back with its control characters escaped.
        {{"--amount", "1\x1b[2J"}, "--amount \"1\\x1b[2J\": Please enter a number."},
        {{"--format", "te\nxt\x7f"},
         "--format \"te\\nxt\\x7f\": unknown format; valid formats: text, html, table, csv, "
         "brw, json."},
        {{"loan\r"},
         "unexpected argument \"loan\\r\"; options start with \"--\" (\"solve\", "
         "\"refinance\" and \"compare\" only as the first argument). See brellow-cli --help."},
        {{"--bogus"},
         "unknown option \"--bogus\"; valid options: --amount, --periods, --rate, "
         "--first-payment, --payment-period, --compounding, --extra, --balloon, --open, --year, "
         "--format, --output, --help, --version."},
        {{"solve", "--periods", "-1", "--rate", "0", "--payment", "10"},
         "--periods: Please enter an integer between 0 and 1000000."},
        {{"solve", "--amount", "100000", "--rate", "6", "--payment", "500"},
         "--payment: The payment does not exceed the first period's interest of 500.00, so the "
         "loan is never paid off."},
        // 1,000,000 months of 1.00 from next month on.
        {{"solve", "--amount", "1000000", "--rate", "0", "--payment", "1"},
         "--payment: The last payment would fall after 12/31/9999. Please enter an earlier "
         "first payment date or fewer periods."},
        {{"refinance", "--original-amount", "1.7e308", "--years", "30", "--rate", "8",
          "--months-paid", "12", "--tax-bracket", "28", "--new-years", "30", "--new-rate", "6",
          "--points", "1", "--closing-cost", "1000"},
         "--original-amount: Please enter an amount between -999,999,999,999.99 and "
         "999,999,999,999.99."},
        {{"refinance", "--original-amount", "120000", "--years", "10", "--new-years", "20",
          "--points", "1e20", "--format", "json"},
         "--points: With these figures the cost of refinancing would exceed what can be shown "
         "to the cent."},
    };
    for (const auto& c : cases) {
        const Outcome run = RunArgs(c.args);
        EXPECT_EQ(kExitUsageError, run.status) << c.err;
        EXPECT_EQ("brellow-cli: " + c.err + "\n", run.err);
        EXPECT_EQ("", run.out);
    }
}

TEST(RunCli, NegativeAmountsKeepTheirCents) {
    const Outcome run = RunArgs({"--amount", "-5000", "--rate", "0", "--periods", "1",
                                 "--first-payment", "01/01/2003", "--format", "csv"});
    EXPECT_EQ(kExitSuccess, run.status) << run.err;
    EXPECT_EQ(
        "Period,Date,Payment,Interest,Principal,Balance\r\n"
        "1,2003-01-01,-5000.00,-0.00,-5000.00,0.00\r\n",
        run.out);
}

TEST(RunCli, SolvePrintsTheTermLeftOutInTheSummarysWords) {
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"solve", "--payment", "599.55", "--rate", "6", "--periods", "360"},
         "Loan Amount: $100,000.00\n"},
        {{"solve", "--payment", "599.55", "--amount", "100000", "--periods", "360"},
         "Interest Rate: 6%\n"},
        {{"solve", "--payment", "700", "--amount", "100000", "--rate", "6"}, "# of Periods: 252\n"},
        {{"solve", "--payment", "500.01", "--amount", "100000", "--rate", "6"},
         "# of Periods: 2169\n"},
        {{"solve", "--amount", "100000", "--rate", "6", "--periods", "360"},
         "Payment per Period: $599.55\n"},
        {{"solve", "--payment", "1500", "--amount", "100000", "--periods", "360",
          "--payment-period", "weekly", "--compounding", "daily"},
         "Interest Rate: 76.284%\n"},
    };
    for (const auto& c : cases) {
        const Outcome run = RunArgs(c.args);
        EXPECT_EQ(kExitSuccess, run.status) << run.err;
        EXPECT_EQ(c.out, run.out);
    }
    const Outcome back = RunArgs({"--amount", "100000", "--periods", "360", "--rate", "76.284",
                                  "--payment-period", "weekly", "--compounding", "daily"});
    EXPECT_NE(std::string::npos, back.out.find("\r\nPayment per Period: $1,500.00\r\n"));
}

TEST(RunCli, RefinancePrintsTheAdviceLine) {
    const Outcome run = RunArgs({"refinance", "--original-amount", "120000", "--years", "10",
                                 "--new-years", "20", "--closing-cost", "15000"});
    EXPECT_EQ(kExitSuccess, run.status);
    EXPECT_EQ(
        "Your new loan balance is $120,000.00 (excluding closing cost and points).\n"
        "Your break even period is 2 years and 6 months.\n"
        "You should refinance with this option if you plan to sell the house after the break "
        "even period.\n",
        run.out);

    const Outcome refused = RunArgs({"refinance", "--years", "10", "--months-paid", "121"});
    EXPECT_EQ(kExitUsageError, refused.status);
    EXPECT_EQ("brellow-cli: --months-paid: Please enter an integer between 0 and 120.\n",
              refused.err);
}

TEST(RunCli, HelpVersionAndAFailingOutput) {
    const Outcome help = RunArgs({"--help"});
    EXPECT_EQ(kExitSuccess, help.status);
    EXPECT_EQ(UsageText(), help.out);
    EXPECT_EQ("brellow-cli 1.0\n", RunArgs({"--version"}).out);

    std::istringstream in;
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    std::ostringstream err;
    const std::vector<std::string> args = kMortgage;
    EXPECT_EQ(kExitFileError,
              RunCliArguments(args, in, broken, err, OleDateTime::FromDate(2024, 1, 1)));
    EXPECT_EQ("brellow-cli: cannot write to standard output.\n", err.str());
}

TEST(RunCli, HelpAndVersionReportAFailingOutput) {
    for (const char* option : {"--help", "--version"}) {
        std::istringstream in;
        std::ostringstream broken;
        broken.setstate(std::ios::badbit);
        std::ostringstream err;
        const std::vector<std::string> args = {option};
        EXPECT_EQ(kExitFileError,
                  RunCliArguments(args, in, broken, err, OleDateTime::FromDate(2024, 1, 1)));
        EXPECT_EQ("brellow-cli: cannot write to standard output.\n", err.str()) << option;
    }
}

class CliFiles : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "brellow-cli-XXXXXX").string();
        ASSERT_NE(nullptr, mkdtemp(pattern.data()));
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const char* name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

TEST_F(CliFiles, DocumentFileRoundTripsByteForByte) {
    const auto first =
        RunArgs(Mortgage({"--extra", "25.5", "--balloon", "120", "--compounding", "Continuous",
                          "--format", "brw", "--output", Path("x.brw")}));
    ASSERT_EQ(kExitSuccess, first.status) << first.err;
    EXPECT_EQ("", first.out);
    ASSERT_EQ(
        kExitSuccess,
        RunArgs({"--open", Path("x.brw"), "--format", "brw", "--output", Path("y.brw")}).status);
    const std::string bytes = ReadAll(Path("x.brw"));
    EXPECT_EQ(64u, bytes.size());
    EXPECT_EQ(bytes, ReadAll(Path("y.brw")));
    EXPECT_EQ(
        RunArgs(Mortgage({"--extra", "25.5", "--balloon", "120", "--compounding", "Continuous"}))
            .out,
        RunArgs({"--open", Path("x.brw")}).out);
}

TEST_F(CliFiles, OpenedTermsAreOverriddenAndChecked) {
    ASSERT_EQ(kExitSuccess,
              RunArgs(Mortgage({"--format", "brw", "--output", Path("m.brw")})).status);
    const Outcome overridden = RunArgs({"--open", Path("m.brw"), "--amount", "5000"});
    EXPECT_EQ(kExitSuccess, overridden.status);
    EXPECT_TRUE(overridden.out.starts_with(
        "Loan Amount: $5,000.00\r\nInterest Rate: 6%\r\n# of Periods: 360\r\n"
        "Payment per Period: $29.98\r\n"))
        << overridden.out.substr(0, 100);

    // An amount that is not whole cents stays as stored when other terms change.
    std::string record = ReadAll(Path("m.brw"));
    const double oddAmount = 1234.567;
    std::memcpy(record.data(), &oddAmount, sizeof oddAmount);
    std::ofstream(Path("odd.brw"), std::ios::binary) << record;
    ASSERT_EQ(kExitSuccess, RunArgs({"--open", Path("odd.brw"), "--rate", "5", "--format", "brw",
                                     "--output", Path("odd2.brw")})
                                .status);
    EXPECT_EQ(record.substr(0, 8), ReadAll(Path("odd2.brw")).substr(0, 8));

    // A stored value the dialog would refuse is kept when nothing is changed, and named
    // as the file's when other terms are given.
    CTamsicDoc doc(OleDateTime::FromDate(2024, 1, 1));
    doc.SetNumPeriods(-5);
    ASSERT_EQ("", WriteLoanFile(Path("negative.brw"), doc));
    EXPECT_EQ(kExitSuccess, RunArgs({"--open", Path("negative.brw")}).status);
    const Outcome refused = RunArgs({"--open", Path("negative.brw"), "--rate", "5"});
    EXPECT_EQ(kExitUsageError, refused.status);
    EXPECT_EQ("brellow-cli: --periods (as read from " + Path("negative.brw") +
                  "): Please enter an integer between 0 and 1000000.\n",
              refused.err);
}

TEST_F(CliFiles, FileProblemsExitWithOneAndNameTheFile) {
    std::ofstream(Path("short.brw")) << "0123456789";
    // Only the loan itself may be written over the file it is read from.
    ASSERT_EQ(kExitSuccess,
              RunArgs(Mortgage({"--format", "brw", "--output", Path("m.brw")})).status);
    const std::string stored = ReadAll(Path("m.brw"));
    fs::create_symlink("m.brw", Path("link.csv"));
    ASSERT_EQ(0, ::mkfifo(Path("pipe").c_str(), 0600));
    const std::string overLoan = ": it is " + Path("m.brw") + ", the loan being read.";
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--open", Path("missing.brw")},
         "Cannot open " + Path("missing.brw") + ": No such file or directory."},
        {{"--open", Path("new\nline.brw")},
         "Cannot open " + Path("new\\nline.brw") + ": No such file or directory."},
        {{"--open", Path("short.brw")},
         "Cannot open " + Path("short.brw") + ": the file is shorter than 64 bytes."},
        {Mortgage({"--output", Path("no/such/dir.txt")}),
         "Cannot write " + Path("no/such/dir.txt") + ": No such file or directory."},
        {Mortgage({"--format", "brw", "--output", Path("no/such/dir.brw")}),
         "Cannot save " + Path("no/such/dir.brw") + ": No such file or directory."},
        {{"--open", Path("m.brw"), "--output", Path("m.brw")},
         "Cannot write " + Path("m.brw") + overLoan},
        {{"--open", Path("m.brw"), "--format", "csv", "--output", Path("link.csv")},
         "Cannot write " + Path("link.csv") + overLoan},
        {Mortgage({"--output", Path("pipe")}),
         "Cannot write " + Path("pipe") + ": nobody is reading from " + Path("pipe") + "."},
        {{"compare", Path("m.brw"), Path("short.brw")},
         "Cannot open " + Path("short.brw") + ": the file is shorter than 64 bytes."},
    };
    for (const auto& c : cases) {
        const Outcome run = RunArgs(c.args);
        EXPECT_EQ(kExitFileError, run.status) << c.err;
        EXPECT_EQ("brellow-cli: " + c.err + "\n", run.err);
    }
    EXPECT_EQ(stored, ReadAll(Path("m.brw")));
    EXPECT_EQ(
        kExitSuccess,
        RunArgs({"--open", Path("m.brw"), "--format", "brw", "--output", Path("link.csv")}).status);
}

// "-" is standard input for --open and standard output for --output; a file named "-"
// is reached by a path.
TEST_F(CliFiles, DashIsStandardInputOrOutput) {
    ASSERT_EQ(kExitSuccess, RunArgs(Mortgage({"--format", "brw", "--output", Path("-")})).status);
    const std::string record = ReadAll(Path("-"));
    const Outcome piped = RunArgs(Mortgage({"--format", "brw", "--output", "-"}));
    EXPECT_EQ(kExitSuccess, piped.status);
    EXPECT_EQ(record, piped.out);
    EXPECT_EQ(RunArgs(kMortgage).out, RunArgs({"--open", "-", "--output", "-"}, kNow, record).out);
    EXPECT_TRUE(
        RunArgs({"compare", "-"}, kNow, record)
            .out.starts_with("\tstandard input (cheapest)\r\nLoan Amount\t$100,000.00\r\n"));

    CTamsicDoc negative(kNow);
    negative.SetNumPeriods(-5);
    const LoanRecord stored = StoreLoanRecord(negative);
    const struct {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string err;
    } refused[] = {
        {{"--open", "-"},
         "0123456789",
         kExitFileError,
         "Cannot open standard input: the file is shorter than 64 bytes."},
        {{"--open", "-", "--rate", "5"},
         std::string(stored.begin(), stored.end()),
         kExitUsageError,
         "--periods (as read from standard input): Please enter an integer between 0 and "
         "1000000."},
    };
    for (const auto& c : refused) {
        const Outcome run = RunArgs(c.args, kNow, c.input);
        EXPECT_EQ(c.status, run.status) << c.err;
        EXPECT_EQ("brellow-cli: " + c.err + "\n", run.err);
    }
}

// Dated and undated, a balloon, an additional payment and 0 %: each loan's payoff
// figures are those its own JSON gives, and the 0 % loan is marked the cheapest.
TEST_F(CliFiles, CompareGivesEachLoansOwnPayoff) {
    const test::LoanFields loans[] = {{},
                                      {.balloon = 60},
                                      {.extra = 100},
                                      {.amount = 12000, .periods = 12, .rate = 0},
                                      {.periods = 120}};
    std::vector<std::string> args = {"COMPARE"};
    for (const test::LoanFields& fields : loans) {
        CTamsicDoc doc = test::Loan(fields);
        if (&fields == &loans[4])
            doc.SetFirstPaymentDate(OleDateTime(0.0, OleDateTime::Status::Invalid));
        args.push_back(Path(std::to_string(args.size()).append(".brw").c_str()));
        ASSERT_EQ("", WriteLoanFile(args.back(), doc));
    }
    EXPECT_TRUE(
        RunArgs(args).out.starts_with("\t1.brw\t2.brw\t3.brw\t4.brw (cheapest)\t5.brw\r\n"));
    args.insert(args.end(), {"--format", "json"});
    const std::string compared = RunArgs(args).out;
    EXPECT_TRUE(compared.starts_with("{\"cheapest\":3,"));
    for (std::size_t i = 1; i <= std::size(loans); ++i) {
        const std::string own = RunArgs({"--open", args[i], "--format", "json"}).out;
        const std::size_t payoff = own.find("\"payoff\":{");
        const std::string figures = own.substr(payoff, own.find(",\"without", payoff) - payoff);
        EXPECT_NE(std::string::npos, compared.find(figures + "},")) << figures;
    }
}

TEST_F(CliFiles, OutputFileHoldsWhatStandardOutputWould) {
    for (const char* format : {"html", "json"}) {
        ASSERT_EQ(kExitSuccess,
                  RunArgs(Mortgage({"--format", format, "--output", Path("m.out")})).status);
        EXPECT_EQ(RunArgs(Mortgage({"--format", format})).out, ReadAll(Path("m.out"))) << format;
    }
}

// Python's json module reads the JSON strictly and writes it back as the CSV of the
// same loan, or as the text of the same advice (json_to_csv.py).
TEST_F(CliFiles, JsonReadsBackAsTheCsvOrTextOfTheSameRun) {
    const auto rewritten = [&](const char* kind, const std::string& json) {
        std::ofstream(Path("run.json"), std::ios::binary) << json;
        const std::string command = std::string(BRELLOW_PYTHON3) + " " + BRELLOW_JSON_TO_CSV + " " +
                                    kind + " " + Path("run.json") + " >" + Path("run.out");
        const int raw = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << json.substr(0, 2000);
        return ReadAll(Path("run.out"));
    };
    CTamsicDoc odd(OleDateTime::FromDate(2024, 1, 1));
    odd.SetLoanAmount(1000);
    odd.SetNumPeriods(3);
    odd.SetFirstPaymentDate(OleDateTime(0.0, OleDateTime::Status::Invalid));
    odd.SetPaymentFrequency(9);
    ASSERT_EQ("", WriteLoanFile(Path("odd.brw"), odd));
    const std::vector<std::string> loans[] = {
        Mortgage({"--extra", "100", "--year", "2004"}),
        Mortgage({"--balloon", "60", "--compounding", "continuous"}),
        {"--amount", "-5000", "--rate", "0", "--periods", "7", "--payment-period", "weekly",
         "--first-payment", "01/31/2003"},
        {"--amount", "1000", "--periods", "0"},
        {"--open", Path("odd.brw")},
    };
    for (const auto& loan : loans) {
        std::vector<std::string> json = loan;
        json.insert(json.end(), {"--format", "json"});
        std::vector<std::string> csv = loan;
        csv.insert(csv.end(), {"--format", "csv"});
        EXPECT_EQ(RunArgs(csv).out, rewritten("loan", RunArgs(json).out)) << loan.back();
    }
    const std::vector<std::string> refinance = {
        "refinance", "--original-amount", "120000", "--years",        "10",   "--rate",
        "7.5",       "--new-years",       "20",     "--closing-cost", "15000"};
    std::vector<std::string> json = refinance;
    json.insert(json.end(), {"--format", "json"});
    EXPECT_EQ(RunArgs(refinance).out, rewritten("refinance", RunArgs(json).out));
}

// A few runs of the real program, for what only a process shows: exit statuses and
// the two streams.
TEST_F(CliFiles, ProgramEndToEnd) {
    const std::string cli = BRELLOW_CLI_PATH;
    const auto status = [&](const std::string& args) {
        const std::string command =
            cli + " " + args + " >" + Path("out") + " 2>" + Path("err") + " </dev/null";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(0, status("--amount 100000 --rate 6 --periods 360 --first-payment 01/01/2003"));
    EXPECT_NE(std::string::npos, ReadAll(Path("out")).find("Payment per Period: $599.55\r\n"));

    EXPECT_EQ(
        0, status("--amount 100000 --rate 6 --periods 360 --format brw --output " + Path("x.brw")));
    EXPECT_EQ(0, status("--open " + Path("x.brw") + " --format brw --output " + Path("y.brw")));
    EXPECT_EQ(ReadAll(Path("x.brw")), ReadAll(Path("y.brw")));

    EXPECT_EQ(2, status("--periods"));
    EXPECT_EQ("brellow-cli: --periods needs a value.\n", ReadAll(Path("err")));
    EXPECT_EQ("", ReadAll(Path("out")));
    EXPECT_EQ(1, status("--open " + Path("nothing.brw")));

    EXPECT_EQ(0, status("refinance --original-amount 120000 --years 10 --new-years 10"));
    EXPECT_TRUE(ReadAll(Path("out")).ends_with("\nYou should not refinance with this option\n"));

    const std::string loan = "--amount 100000 --rate 6 --periods 360 --first-payment 01/01/2003";
    EXPECT_EQ(0, std::system((cli + " " + loan + " --format brw --output - | " + cli +
                              " --open - --format csv >" + Path("piped.csv"))
                                 .c_str()));
    EXPECT_EQ(0, status(loan + " --format csv"));
    EXPECT_EQ(ReadAll(Path("out")), ReadAll(Path("piped.csv")));
}

TEST_F(CliFiles, FullDeviceFailsWithTheReason) {
    const auto run = [&](const std::string& args) {
        const std::string command =
            std::string(BRELLOW_CLI_PATH) + " " + args + " >/dev/full 2>" + Path("err");
        const int raw = std::system(command.c_str());
        return std::pair(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(Path("err")));
    };
    const std::pair<int, std::string> cannotWrite = {
        kExitFileError, "brellow-cli: cannot write to standard output.\n"};
    EXPECT_EQ(cannotWrite, run("--help"));
    EXPECT_EQ(cannotWrite, run("--version"));
    EXPECT_EQ(cannotWrite, run("--amount 1000 --periods 12"));
    EXPECT_EQ(std::pair(kExitFileError,
                        std::string("brellow-cli: Cannot write /dev/full: No space left on "
                                    "device.\n")),
              run("--amount 1000 --periods 12 --output /dev/full"));
}

// The program is killed while its temporary file exists: it removes the file and still
// dies of the signal. The kill may land after the rename; then the attempt is repeated.
TEST_F(CliFiles, TerminatedExportLeavesNoFiles) {
    const std::string target = Path("F");
    std::vector<std::string> args = {BRELLOW_CLI_PATH,
                                     "--amount",
                                     "1000000",
                                     "--rate",
                                     "0",
                                     "--periods",
                                     "400000",
                                     "--payment-period",
                                     "Weekly",
                                     "--first-payment",
                                     "01/01/2026",
                                     "--output",
                                     target};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    bool caught = false;
    for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
        fs::remove(target);
        pid_t child = 0;
        ASSERT_EQ(0, posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ));
        const std::string temporary = ".F.brellow-" + std::to_string(child) + ".";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int status = 0;
        bool signalled = false;
        while (!signalled && std::chrono::steady_clock::now() < deadline &&
               ::waitpid(child, &status, WNOHANG) == 0) {
            for (const auto& entry : fs::directory_iterator(m_dir)) {
                if (entry.path().filename().string().starts_with(temporary)) {
                    signalled = ::kill(child, SIGTERM) == 0;
                }
            }
        }
        if (!signalled) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            continue;
        }
        ASSERT_EQ(child, ::waitpid(child, &status, 0));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
        caught = !fs::exists(target);
        std::vector<fs::path> left;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            if (entry.path() != target) left.push_back(entry.path());
        }
        EXPECT_EQ(std::vector<fs::path>{}, left);
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_TRUE(caught) << "the temporary file was never seen before the rename";
}

}  // namespace
}  // namespace brellow::cli
