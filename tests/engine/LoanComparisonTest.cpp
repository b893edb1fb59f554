#include "engine/LoanComparison.h"

#include "tests/support/TestLoans.h"

#include <gtest/gtest.h>

#include <vector>

namespace brellow {
namespace {

using test::Loan;
using test::LoanFields;

// Dated and undated, a balloon, an additional payment and 0 %: each column holds the
// Payoff Summary's own figures, and the 0 % loan is the cheapest.
TEST(CompareLoans, FiguresAreThePayoffSummarysAgainstTheCheapest) {
    CTamsicDoc undated = Loan("undated", {.periods = 120});
    undated.SetFirstPaymentDate(OleDateTime(0.0, OleDateTime::Status::Invalid));
    const std::vector<CTamsicDoc> docs = {
        Loan("mortgage", {}),
        undated,
        Loan("balloon", {.balloon = 60}),
        Loan("extra", {.extra = 100}),
        Loan("zero", {.amount = 12000, .periods = 12, .rate = 0}),
    };
    const LoanComparison comparison = CompareLoans(docs);
    ASSERT_EQ(docs.size(), comparison.loans.size());
    EXPECT_EQ(4u, comparison.cheapest);
    for (std::size_t i = 0; i < docs.size(); ++i) {
        const ComparedLoan& loan = comparison.loans[i];
        SCOPED_TRACE(loan.title);
        EXPECT_EQ(docs[i].GetTitle(), loan.title);
        EXPECT_EQ(docs[i].GetTerms(), loan.terms);
        EXPECT_EQ(docs[i].GetPayment(), loan.payment);
        EXPECT_EQ(ComputePayoff(docs[i]).loan, loan.payoff);
        EXPECT_EQ(loan.payoff->totalInterest, loan.interestVsCheapest);
        EXPECT_EQ(loan.payoff->totalPaid - 12000.0, loan.paidVsCheapest);
        EXPECT_EQ("", loan.problem + loan.differenceProblem);
    }
}

// Ties go to the first loan; loans beyond the limits are never the cheapest and say why,
// and so does a difference that is beyond the cent limit although both figures are not.
TEST(CompareLoans, TiesAndLimits) {
    const char* const kCents = "The schedule's amounts would exceed what can be shown to the cent.";
    const struct {
        const char* name;
        std::vector<LoanFields> loans;
        std::optional<std::size_t> cheapest;
        std::vector<std::string> problems;  // problem, else differenceProblem, of each
    } cases[] = {
        {"equal interest", {{.balloon = 60}, {.rate = 0}, {.rate = 0}}, 1, {"", "", ""}},
        {"beyond the limits",
         {{.periods = 50000, .payment = 0}, {.first = OleDateTime::FromDate(9990, 1, 1)}, {}},
         2,
         {kCents, "The last payment would fall after 12/31/9999.", ""}},
        {"nothing to compare", {{.periods = 50000, .payment = 0}}, {}, {kCents}},
        {"difference beyond the cent limit",
         {{.amount = 999999999999, .periods = 60, .rate = 1000},
          {.amount = -999999999999, .periods = 60, .rate = 1000}},
         1,
         {"The difference would exceed what can be shown to the cent.", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CTamsicDoc> docs;
        for (const LoanFields& fields : c.loans) docs.push_back(Loan(fields));
        const LoanComparison comparison = CompareLoans(docs);
        EXPECT_EQ(c.cheapest, comparison.cheapest);
        std::vector<std::string> problems;
        for (const ComparedLoan& loan : comparison.loans) {
            problems.push_back(loan.problem + loan.differenceProblem);
            EXPECT_EQ(loan.problem.empty(), loan.payoff.has_value());
            EXPECT_EQ(loan.problem.empty() && loan.differenceProblem.empty(),
                      loan.interestVsCheapest.has_value() && loan.paidVsCheapest.has_value());
        }
        EXPECT_EQ(c.problems, problems);
    }
}

}  // namespace
}  // namespace brellow
