#include "engine/Solve.h"

#include "engine/CTamsicDoc.h"
#include "engine/Cents.h"
#include "engine/Limits.h"
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

TEST(SolveLoan, PeriodsAreTheCountThatPaysTheLoanOffAtThePayment) {
    const struct {
        double payment;
        int periods;
        long long paymentCents;
    } cases[] = {
        {599.55, 360, 59955},
        // 251.2 payments of 700.00; no count gives 700.00 (251 gives more).
        {700, 252, 69886},
        // Every count from 2,089 to about 2,300 gives 500.01; 2,169.4 payments pay it off.
        {500.01, 2169, 50001},
    };
    for (const auto& c : cases) {
        const SolvedLoan solved = Solved({.periods = 0}, c.payment, SolveFor::Periods);
        EXPECT_EQ(c.periods, solved.terms.numPeriods) << c.payment;
        EXPECT_EQ(c.paymentCents, Cents(solved.payment)) << c.payment;
    }
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
        {"only the interest",
         {.periods = 0},
         500,
         SolveFor::Periods,
         "The payment does not exceed the first period's interest of 500.00, so the loan is "
         "never paid off."},
        {"less than the interest",
         {.amount = -100000, .periods = 0},
         -499.99,
         SolveFor::Periods,
         "The payment does not exceed the first period's interest of -500.00, so the loan is "
         "never paid off."},
        {"opposite sign",
         {.periods = 0, .rate = -5},
         -700,
         SolveFor::Periods,
         "A payment of 0 or of the other sign than the loan amount never pays the loan off."},
        {"nothing to pay off",
         {.amount = 0, .periods = 0},
         10,
         SolveFor::Periods,
         "A loan amount of 0 needs no payments: there is no number of periods to solve for."},
        {"beyond 1,000,000", {.periods = 0, .rate = 0}, 0.09, SolveFor::Periods, noPeriods},
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

// Periodic payments of exactly `cents` on the loan until its balance reaches zero or
// below: how many it takes, kMaxPeriods + 1 when that many do not.
int PaymentsToPayOff(const CTamsicDoc& loan, long long cents) {
    const double payment = static_cast<double>(cents) * 0.01;
    double balance = loan.GetLoanAmount();
    for (int k = 1; k <= kMaxPeriods; ++k) {
        balance = Amortize(balance, payment, loan.GetPeriodicRate()).balance;
        if (balance * loan.GetLoanAmount() <= 0.0) return k;
    }
    return kMaxPeriods + 1;
}

// The periods solved agree with the spreadsheet's NPER and with walking the loan at the
// payment, most of all just above the interest, where many counts share one payment.
TEST(SolveLoan, PeriodsAgreeWithNperAndAWalkOverRandomLoans) {
    std::mt19937 random(20240315);
    const auto uniform = [&](long long low, long long high) {
        return std::uniform_int_distribution<long long>(low, high)(random);
    };
    int solved = 0;
    for (int i = 0; i < 300; ++i) {
        const double sign = i % 4 == 0 ? -1.0 : 1.0;
        const CTamsicDoc loan = Loan({.amount = sign * uniform(1, 100000000) * 0.01,
                                      .periods = static_cast<int>(uniform(1, 1000)),
                                      .rate = uniform(-2000, 30000) * 0.001,
                                      .payment = static_cast<int>(uniform(0, 6)),
                                      .compound = static_cast<int>(uniform(0, 8))});
        if (CheckTerms(loan.GetTerms())) continue;
        const double amount = loan.GetLoanAmount();
        const double rate = loan.GetPeriodicRate();
        const long long interest = std::llround(RoundCents(amount * rate * 100.0));
        const long long cents = i % 2 ? interest + static_cast<long long>(sign) * uniform(-2, 200)
                                      : Cents(loan.GetPayment()) + uniform(-50, 50);
        SCOPED_TRACE(testing::Message() << "loan " << i << ": " << amount << " at " << rate
                                        << " paying " << cents << " cents");
        const auto result =
            SolveLoan(loan.GetTerms(), static_cast<double>(cents) * 0.01, SolveFor::Periods);
        const int walked = sign * cents > sign * interest ? PaymentsToPayOff(loan, cents) : 0;
        if (walked == 0 || walked > kMaxPeriods) {
            EXPECT_TRUE(std::holds_alternative<SolveFailure>(result)) << walked;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<SolvedLoan>(result))
            << std::get<SolveFailure>(result).message;
        LoanTerms terms = std::get<SolvedLoan>(result).terms;
        const int periods = terms.numPeriods;
        const double payment = static_cast<double>(cents) * 0.01;
        const double nper =
            rate == 0.0 ? amount / payment
                        : std::log(payment / (payment - amount * rate)) / std::log(1.0 + rate);
        EXPECT_LT(std::abs(periods - nper), 1.0);
        // One payment fewer than the walk takes only where that count gives the payment,
        // and the count rounded up only where neither neighbour gives it.
        ASSERT_TRUE(periods == walked || periods == walked - 1) << periods << " " << walked;
        const bool gives = PaymentCents(terms) == cents;
        if (periods == walked - 1) {
            EXPECT_TRUE(gives);
        }
        terms.numPeriods = periods - 1;
        if (!gives && periods > 1) {
            EXPECT_NE(cents, PaymentCents(terms));
        }
        ++solved;
    }
    EXPECT_GT(solved, 150);
}

// Each term solved back from the payment of a random loan gives that payment again.
TEST(SolveLoan, RoundTripsOverRandomLoans) {
    std::mt19937 random(20030101);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int checked = 0;
    for (int i = 0; i < 1000; ++i) {
        // Every other loan is a large amount over a few periods at a rate near 0, where the
        // payment jitters by dollars from one millionth of a percent to the next.
        const bool nearZero = i % 2;
        const LoanFields loan{
            .amount = nearZero ? uniform(1000, 990000) * 1e6 : uniform(-1000000, 10000000) * 0.01,
            .periods = nearZero ? uniform(1, 5) : uniform(1, 600),
            .rate = nearZero ? uniform(-5000, 5000) * 1e-6 : uniform(-5000, 40000) * 0.001,
            .payment = uniform(0, 6),
            .compound = uniform(0, 8)};
        const LoanTerms terms = Loan(loan).GetTerms();
        if (CheckTerms(terms)) continue;
        const long long cents = PaymentCents(terms);
        const double payment = static_cast<double>(cents) * 0.01;
        SCOPED_TRACE(testing::Message() << "loan " << i << ": " << terms.loanAmount << " over "
                                        << terms.numPeriods << " at " << terms.interestRate);
        const CTamsicDoc doc = Loan(loan);
        const double interest = RoundCents(doc.GetLoanAmount() * doc.GetPeriodicRate() * 100.0);
        // A payment that only covers the interest is refused as never paying the loan off.
        const bool paysOff = terms.loanAmount < 0 ? cents < interest : cents > interest;
        for (const SolveFor missing : {SolveFor::Amount, SolveFor::Periods, SolveFor::Rate}) {
            if (missing == SolveFor::Periods && !paysOff) continue;
            const auto result = SolveLoan(terms, payment, missing);
            const auto* solved = std::get_if<SolvedLoan>(&result);
            ASSERT_NE(nullptr, solved) << std::get<SolveFailure>(result).message;
            EXPECT_EQ(cents, PaymentCents(solved->terms)) << static_cast<int>(missing);
            EXPECT_EQ(cents, Cents(solved->payment));
        }
        ++checked;
    }
    EXPECT_GT(checked, 900);
}

}  // namespace
}  // namespace brellow
