#include "engine/Payoff.h"

#include "tests/support/TestLoans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace brellow {
namespace {

using test::Loan;
using test::LoanFields;

// Figures in whole cents, dates as the calendar day they name.
struct Figures {
    int payments;
    OleDateTime lastPayment;
    long long paidCents, interestCents;
};

Figures InCents(const PayoffFigures& figures) {
    return {figures.payments, figures.lastPayment, std::llround(figures.totalPaid * 100),
            std::llround(figures.totalInterest * 100)};
}

void ExpectFigures(const Figures& expected, const PayoffFigures& actual) {
    const Figures got = InCents(actual);
    EXPECT_EQ(expected.payments, got.payments);
    EXPECT_EQ(expected.lastPayment, got.lastPayment);
    EXPECT_EQ(expected.paidCents, got.paidCents);
    EXPECT_EQ(expected.interestCents, got.interestCents);
}

// Totals checked against an amortization written apart from the engine: the 360-month
// mortgage pays 215,838.53; with 100.00 more a month it is done after 252 payments
// (n = -ln(1 - 500 / 699.55) / ln(1.005) = 251.2).
TEST(ComputePayoff, HandCheckedLoans) {
    const auto date = [](int y, int m, int d) { return OleDateTime::FromDate(y, m, d); };
    const struct {
        const char* name;
        LoanFields loan;
        Figures figures;
        std::optional<Figures> without;
        std::optional<PayoffSavings> saved;
    } cases[] = {
        {"mortgage with 100.00 extra",
         {.extra = 100},
         {252, date(2023, 12, 1), 17593807, 7593807},
         Figures{360, date(2032, 12, 1), 21583853, 11583853},
         PayoffSavings{108, 9, 0, 39900.46}},
        {"mortgage", {}, {360, date(2032, 12, 1), 21583853, 11583853}, {}, {}},
        {"balloon at 60", {.balloon = 60}, {60, date(2007, 12, 1), 12902739, 2902739}, {}, {}},
        {"0 % with 500.00 extra",
         {.amount = 12000, .periods = 12, .rate = 0, .extra = 500},
         {8, date(2003, 8, 1), 1200000, 0},
         Figures{12, date(2003, 12, 1), 1200000, 0},
         PayoffSavings{4, 0, 4, 0.0}},
        // 26 weekly payments saved are half a year.
        {"weekly 0 % with 100.00 extra",
         {.amount = 5200, .periods = 52, .rate = 0, .payment = 0, .extra = 100},
         {26, date(2003, 6, 25), 520000, 0},
         Figures{52, date(2003, 12, 24), 520000, 0},
         PayoffSavings{26, 0, 6, 0.0}},
        {"no periods",
         {.periods = 0},
         {0, OleDateTime(0.0, OleDateTime::Status::Null), 0, 0},
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PayoffSummary payoff = ComputePayoff(Loan(c.loan));
        ExpectFigures(c.figures, payoff.loan);
        ASSERT_EQ(c.without.has_value(), payoff.withoutAdditional.has_value());
        if (c.without) ExpectFigures(*c.without, *payoff.withoutAdditional);
        ASSERT_EQ(c.saved.has_value(), payoff.saved.has_value());
        if (!c.saved) continue;
        EXPECT_EQ(c.saved->payments, payoff.saved->payments);
        EXPECT_EQ(c.saved->years, payoff.saved->years);
        EXPECT_EQ(c.saved->months, payoff.saved->months);
        EXPECT_EQ(std::llround(c.saved->interest * 100),
                  std::llround(payoff.saved->interest * 100));
    }
}

// The loan is within the limits, but without its additional payment it would not be:
// those figures give way to the reason, and the loan's own stay.
TEST(ComputePayoff, FiguresWithoutBeyondTheLimitsGiveTheReason) {
    const struct {
        LoanFields loan;
        const char* problem;
    } cases[] = {
        {{.periods = 1000, .rate = 100, .extra = 1000},
         "Without the additional payment the schedule's amounts would exceed what can be shown "
         "to the cent."},
        {{.first = OleDateTime::FromDate(9990, 1, 1), .extra = 100000},
         "Without the additional payment the last payment would fall after 12/31/9999."},
        {{.extra = 100}, ""},
    };
    for (const auto& c : cases) {
        const PayoffSummary payoff = ComputePayoff(Loan(c.loan));
        EXPECT_EQ(c.problem, payoff.withoutAdditionalProblem);
        EXPECT_EQ(*c.problem == '\0', payoff.withoutAdditional.has_value()) << c.problem;
        EXPECT_EQ(*c.problem == '\0', payoff.saved.has_value()) << c.problem;
        EXPECT_GT(payoff.loan.payments, 0);
    }
}

TEST(ComputePayoff, LastPaymentWithoutDatesIsInvalid) {
    CTamsicDoc doc = Loan({.periods = 12});
    doc.SetFirstPaymentDate(OleDateTime(0.0, OleDateTime::Status::Invalid));
    EXPECT_EQ(OleDateTime::Status::Invalid, ComputePayoff(doc).loan.lastPayment.GetStatus());
}

}  // namespace
}  // namespace brellow
