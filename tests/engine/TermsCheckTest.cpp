#include "engine/TermsCheck.h"

#include "engine/CTamsicDoc.h"
#include "engine/Schedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace brellow {
namespace {

LoanTerms Terms() {
    LoanTerms terms;
    terms.loanAmount = 100000;
    terms.numPeriods = 360;
    terms.interestRate = 6;
    terms.firstPayment = OleDateTime::FromDate(2026, 1, 1);
    terms.paymentFrequency = 2;
    terms.compoundFrequency = 3;
    return terms;
}

TermsField FieldOf(const LoanTerms& terms) {
    const auto problem = CheckTerms(terms);
    EXPECT_TRUE(problem.has_value());
    return problem ? problem->field : TermsField::Balloon;
}

TEST(CheckTerms, AcceptsOrdinaryAndEdgeTerms) {
    EXPECT_FALSE(CheckTerms(Terms()));
    LoanTerms terms = Terms();
    terms.interestRate = 0;  // a zero rate repays A / n
    EXPECT_FALSE(CheckTerms(terms));
    terms.numPeriods = 0;
    EXPECT_FALSE(CheckTerms(terms));
    terms = Terms();
    terms.loanAmount = -999999999999.99;
    terms.additionalPayment = -50;
    EXPECT_FALSE(CheckTerms(terms));
    terms = Terms();
    terms.balloon = true;
    terms.balloonPeriod = 360;
    EXPECT_FALSE(CheckTerms(terms));
    terms.balloon = false;
    terms.balloonPeriod = -7;  // ignored while the box is clear
    EXPECT_FALSE(CheckTerms(terms));
}

TEST(CheckTerms, RefusesWithMessageAndField) {
    LoanTerms terms = Terms();
    terms.loanAmount = 1e12;
    EXPECT_EQ(TermsField::Amount, FieldOf(terms));
    terms.loanAmount = std::numeric_limits<double>::infinity();
    EXPECT_EQ(TermsField::Amount, FieldOf(terms));

    for (int periods : {-1, 1000001}) {
        terms = Terms();
        terms.numPeriods = periods;
        EXPECT_EQ("Please enter an integer between 0 and 1000000.", CheckTerms(terms)->message);
    }
    terms = Terms();
    terms.numPeriods = 1000000;  // in range, but the last payment overruns the calendar
    const auto late = CheckTerms(terms);
    ASSERT_TRUE(late);
    EXPECT_EQ(TermsField::FirstPayment, late->field);
    EXPECT_NE(std::string::npos, late->message.find("12/31/9999"));

    terms = Terms();
    terms.balloon = true;
    for (int period : {0, 361}) {
        terms.balloonPeriod = period;
        const auto problem = CheckTerms(terms);
        ASSERT_TRUE(problem);
        EXPECT_EQ(TermsField::PayoffPeriod, problem->field);
        EXPECT_EQ("Please enter an integer between 1 and 360.", problem->message);
    }

    terms.numPeriods = 0;
    terms.balloonPeriod = 0;
    EXPECT_EQ(TermsField::PayoffPeriod, FieldOf(terms));
    EXPECT_EQ(std::string::npos, CheckTerms(terms)->message.find("between 1 and 0"));

    terms = Terms();
    terms.interestRate = -500;  // negative base to a fractional power
    terms.compoundFrequency = 5;
    EXPECT_EQ(TermsField::Rate, FieldOf(terms));
    terms = Terms();
    terms.interestRate = -1200;  // periodic rate of exactly -1
    EXPECT_EQ(TermsField::Rate, FieldOf(terms));

    terms = Terms();
    terms.firstPayment = OleDateTime(0, OleDateTime::Status::Invalid);
    EXPECT_EQ(TermsField::FirstPayment, FieldOf(terms));
    terms = Terms();
    terms.additionalPayment = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(TermsField::AdditionalPayment, FieldOf(terms));
    terms.additionalPayment = -1e308;
    EXPECT_EQ(TermsField::AdditionalPayment, FieldOf(terms));
}

TEST(CheckTerms, RefusesSchedulesBeyondTheCent) {
    // A payment rounded short by a fraction of a cent compounds: past 2^53 cents a double
    // no longer holds every cent, and further on the rows overflow.
    const struct {
        double amount;
        double rate;
        int periods;
        int paymentFrequency;
        int year;
        bool refused;
    } cases[] = {
        {100000, 6, 50000, 0, 2000, true},  // last payment near -3.5e27
        {1000, 900, 400000, 0, 100, true},  // overflows to inf
        {1000, 1e100, 12, 2, 2003, true},   // the payment itself is beyond the cent
        {-1000, 1e100, 12, 2, 2003, true},
        {999999999999.99, 20, 480, 2, 2026, false},
        {-999999999999.99, 20, 480, 2, 2026, false},
        {900000000000, 0.01, 400000, 0, 2026, false},
        {1000, 0.1, 400000, 0, 100, false},
    };
    for (const auto& c : cases) {
        LoanTerms terms = Terms();
        terms.loanAmount = c.amount;
        terms.interestRate = c.rate;
        terms.numPeriods = c.periods;
        terms.paymentFrequency = c.paymentFrequency;
        terms.firstPayment = OleDateTime::FromDate(c.year, 1, 1);
        const auto problem = CheckTerms(terms);
        EXPECT_EQ(c.refused, problem.has_value()) << c.amount << " at " << c.rate;
        if (problem && c.refused) {
            EXPECT_EQ(TermsField::Periods, problem->field);
            EXPECT_NE(std::string::npos, problem->message.find("shown to the cent"));
        }
    }
}

// Long schedules skip the walk when a bound shows every figure within the limit; the
// answer must be the walk's, for growing and shrinking balances alike.
TEST(ScheduleWithinCentLimit, AgreesWithAWalkOfEveryFigure) {
    std::mt19937_64 random(15);
    const auto between = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    int accepted = 0;
    for (int i = 0; i < 300; ++i) {
        LoanTerms terms = Terms();
        // Amounts and terms of every scale, and additional payments that speed the
        // loan up or let its balance grow, so that many figures end near the limit.
        terms.loanAmount = std::pow(10.0, between(3, 12)) * (i % 2 == 0 ? 1 : -1);
        terms.interestRate = between(0, 12);
        terms.numPeriods = static_cast<int>(std::pow(10.0, between(1, 5.6)));
        terms.paymentFrequency = i % 3;
        terms.additionalPayment = terms.loanAmount * between(-0.05, 0.01);
        CTamsicDoc doc;
        doc.SetTerms(terms);
        doc.ComputePayment();
        bool within = true;
        ScheduleGenerator walk(doc, kAllYears);
        for (ScheduleRow row; within && walk.Next(row);) {
            const AmountTotals& sums = walk.Totals().running;
            for (const double figure : {row.payment, row.interest, row.principal, row.balance,
                                        sums.payment, sums.interest, sums.principal}) {
                within = within && WithinCentLimit(figure);
            }
        }
        EXPECT_EQ(within, ScheduleWithinCentLimit(doc)) << i;
        accepted += within;
    }
    EXPECT_GT(accepted, 30);
    EXPECT_LT(accepted, 270) << accepted;
}

}  // namespace
}  // namespace brellow
