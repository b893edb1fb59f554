#include "engine/Solve.h"

#include "engine/CTamsicDoc.h"
#include "engine/TermsCheck.h"
#include "tests/support/TestLoans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace brellow {
namespace {

using test::Loan;
using test::LoanFields;

long long Cents(double amount) {
    return std::llround(amount * 100);
}

long long PaymentCents(const LoanTerms& terms) {
    CTamsicDoc doc(terms.firstPayment);
    doc.RestoreTerms(terms);
    doc.ComputePayment();
    return Cents(doc.GetPayment());
}

SolvedLoan Solved(const LoanFields& given, double payment, SolveFor missing) {
    const auto result = SolveLoan(given.Terms(), payment, missing);
    if (const auto* failure = std::get_if<SolveFailure>(&result)) {
        ADD_FAILURE() << failure->message;
        return {};
    }
    return std::get<SolvedLoan>(result);
}

TEST(SolveLoan, TakesTheRoundestValueThatGivesThePayment) {
    // 599.55 is the payment of every amount from 99,999.07 to 100,000.74.
    EXPECT_EQ(100000.0, Solved({.amount = 0}, 599.55, SolveFor::Amount).terms.loanAmount);
    EXPECT_EQ(6.0, Solved({.rate = 0}, 599.55, SolveFor::Rate).terms.interestRate);
    EXPECT_EQ(4.5, Solved({.rate = 0}, 506.69, SolveFor::Rate).terms.interestRate);
    const SolvedLoan payment = Solved({}, 0, SolveFor::Payment);
    EXPECT_EQ(59955, Cents(payment.payment));
    EXPECT_EQ(LoanFields{}.Terms(), payment.terms);
}

TEST(SolveLoan, PeriodsAreTheFewestThatPayTheLoanOff) {
    const SolvedLoan solved = Solved({.periods = 0}, 700, SolveFor::Periods);
    EXPECT_EQ(252, solved.terms.numPeriods);
    EXPECT_EQ(69886, Cents(solved.payment));
    EXPECT_GT(PaymentCents(LoanFields{.periods = 251}.Terms()), 70000);
    // A negative loan is paid off by negative payments.
    EXPECT_EQ(252,
              Solved({.amount = -100000, .periods = 0}, -700, SolveFor::Periods).terms.numPeriods);
}

TEST(SolveLoan, RefusesPaymentsNoValueGives) {
    const std::string noAmount =
        "No loan amount in whole cents between -999,999,999,999.99 and 999,999,999,999.99 "
        "gives this payment with these terms.";
    const std::string noPeriods =
        "No number of periods up to 1000000 pays off the loan with this payment.";
    const std::string noRate = "No interest rate between -99% and 1000% gives this payment.";
    const struct {
        const char* name;
        LoanFields given;
        double payment;
        SolveFor missing;
        std::string message;
    } cases[] = {
        {"no periods pay nothing", {.amount = 0, .periods = 0}, 5, SolveFor::Amount, noAmount},
        {"beyond 10^12", {.amount = 0}, 6e9, SolveFor::Amount, noAmount},
        // At 1,000 % a month each cent of the amount adds 1.83 cents to the payment.
        {"between two cents",
         {.amount = 0, .periods = 1, .rate = 1000},
         1.84,
         SolveFor::Amount,
         noAmount},
        {"less than the interest", {.periods = 0}, 499.99, SolveFor::Periods, noPeriods},
        {"opposite sign", {.periods = 0}, -700, SolveFor::Periods, noPeriods},
        {"above 1,000 %", {.rate = 0}, 90000, SolveFor::Rate, noRate},
        {"below -99 %", {.periods = 12, .rate = 0}, 1, SolveFor::Rate, noRate},
        {"coarser than a cent",
         {.amount = 900000000000, .periods = 1, .rate = 0},
         900000000123.45,
         SolveFor::Rate,
         "No interest rate with six decimals gives exactly this payment: from one such rate to "
         "the next the payment changes by more than a cent."},
    };
    for (const auto& c : cases) {
        const auto result = SolveLoan(c.given.Terms(), c.payment, c.missing);
        const auto* failure = std::get_if<SolveFailure>(&result);
        ASSERT_NE(nullptr, failure) << c.name;
        EXPECT_EQ(c.message, failure->message) << c.name;
    }
}

// Each term solved back from the payment of a random loan gives that payment again.
TEST(SolveLoan, RoundTripsOverRandomLoans) {
    std::mt19937 random(20030101);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int checked = 0;
    for (int i = 0; i < 400; ++i) {
        const LoanFields loan{.amount = uniform(-1000000, 10000000) * 0.01,
                              .periods = uniform(1, 600),
                              .rate = uniform(-5000, 40000) * 0.001,
                              .payment = uniform(0, 6),
                              .compound = uniform(0, 8)};
        const LoanTerms terms = Loan(loan).GetTerms();
        if (CheckTerms(terms)) continue;
        const long long cents = PaymentCents(terms);
        const double payment = static_cast<double>(cents) * 0.01;
        SCOPED_TRACE(testing::Message() << "loan " << i << ": " << terms.loanAmount << " over "
                                        << terms.numPeriods << " at " << terms.interestRate);
        for (const SolveFor missing : {SolveFor::Amount, SolveFor::Periods, SolveFor::Rate}) {
            const auto result = SolveLoan(terms, payment, missing);
            const auto* solved = std::get_if<SolvedLoan>(&result);
            ASSERT_NE(nullptr, solved) << std::get<SolveFailure>(result).message;
            EXPECT_EQ(cents, PaymentCents(solved->terms)) << static_cast<int>(missing);
            EXPECT_EQ(cents, Cents(solved->payment));
        }
        EXPECT_LE(
            std::get<SolvedLoan>(SolveLoan(terms, payment, SolveFor::Periods)).terms.numPeriods,
            terms.numPeriods);
        ++checked;
    }
    EXPECT_GT(checked, 350);
}

}  // namespace
}  // namespace brellow
