#include "engine/CTamsicDoc.h"
#include "tests/support/TestLoans.h"

#include <gtest/gtest.h>

#include <cmath>

namespace brellow {
namespace {

using test::Loan;

const OleDateTime kJan2003 = OleDateTime::FromDate(2003, 1, 1);

long long Cents(double amount) {
    return std::llround(amount * 100);
}

struct PaymentCase {
    double amount, rate;
    int periods, payment, compound;
    long long cents;
};

TEST(ComputePayment, WorkedValues) {
    const PaymentCase cases[] = {
        {100000, 6, 360, 2, 3, 59955},   // monthly / monthly
        {100000, 6, 1560, 0, 3, 14558},  // weekly / monthly
        {10000, 12, 36, 2, 5, 33158},    // monthly / quarterly
        {200000, 5, 360, 2, 0, 107488},  // monthly / daily
    };
    for (const PaymentCase& c : cases) {
        const CTamsicDoc doc = Loan({.amount = c.amount,
                                     .periods = c.periods,
                                     .rate = c.rate,
                                     .payment = c.payment,
                                     .compound = c.compound});
        EXPECT_EQ(c.cents, Cents(doc.GetPayment())) << c.amount << " " << c.periods;
        // The stored payment is exactly a whole number of cents times 0.01.
        EXPECT_EQ(double(c.cents) * 0.01, doc.GetPayment());
    }
}

TEST(ComputePayment, PeriodicRates) {
    EXPECT_EQ(0.004999999999999893,
              Loan({.amount = 100000, .periods = 360, .rate = 6}).GetPeriodicRate());
    EXPECT_EQ(std::pow(1.005, 0.25) - 1.0,
              Loan({.amount = 100000, .periods = 1560, .rate = 6, .payment = 0}).GetPeriodicRate());
    EXPECT_NEAR(0.00990163,
                Loan({.amount = 10000, .periods = 36, .rate = 12, .compound = 5}).GetPeriodicRate(),
                1e-8);
    EXPECT_NEAR(
        0.00417507,
        Loan({.amount = 200000, .periods = 360, .rate = 5, .compound = 0}).GetPeriodicRate(), 1e-8);
    EXPECT_NEAR(0.075,
                Loan({.amount = 1000, .periods = 10, .rate = 7.5, .payment = 6, .compound = 7})
                    .GetPeriodicRate(),
                1e-15);  // k = 1
}

TEST(ComputePayment, ZeroRateRepaysAmountOverPeriods) {
    const CTamsicDoc doc = Loan({.amount = 12000, .periods = 12, .rate = 0});
    EXPECT_EQ(0.0, doc.GetPeriodicRate());
    EXPECT_EQ(100000, Cents(doc.GetPayment()));
    EXPECT_EQ(3333, Cents(Loan({.amount = 100, .periods = 3, .rate = 0}).GetPayment()));
    EXPECT_EQ(6667, Cents(Loan({.amount = 200, .periods = 3, .rate = 0}).GetPayment()));
}

TEST(ComputePayment, NoPeriodsGivesNoPayment) {
    EXPECT_EQ(0.0, Loan({.amount = 12000, .periods = 0, .rate = 0}).GetPayment());
    EXPECT_EQ(0.0, Loan({.amount = 12000, .periods = 0, .rate = 6}).GetPayment());
    EXPECT_EQ(0.0, Loan({.amount = 0, .periods = 0, .rate = 0}).GetPayment());
}

TEST(ComputePayment, ContinuousCompounding) {
    const CTamsicDoc monthly = Loan({.amount = 100000, .periods = 360, .rate = 6, .compound = 8});
    EXPECT_EQ(std::expm1(0.06 / 12), monthly.GetPeriodicRate());
    EXPECT_EQ(std::expm1(0.06 / 52),
              Loan({.amount = 100000, .periods = 360, .rate = 6, .payment = 0, .compound = 8})
                  .GetPeriodicRate());
    EXPECT_EQ(0.06,
              std::round(Loan({.amount = 1, .periods = 1, .rate = 6, .payment = 6, .compound = 8})
                             .GetPeriodicRate() *
                         1e2) /
                  1e2);
    // Continuous compounding charges a little more than monthly compounding.
    EXPECT_GT(monthly.GetPayment(),
              Loan({.amount = 100000, .periods = 360, .rate = 6}).GetPayment());
}

TEST(ComputePayment, UnknownCodesComputeAsMonthly) {
    const double monthly = Loan({.amount = 100000, .periods = 360, .rate = 6}).GetPayment();
    EXPECT_EQ(monthly,
              Loan({.amount = 100000, .periods = 360, .rate = 6, .payment = 7}).GetPayment());
    EXPECT_EQ(monthly,
              Loan({.amount = 100000, .periods = 360, .rate = 6, .payment = -1}).GetPayment());
    EXPECT_EQ(monthly,
              Loan({.amount = 100000, .periods = 360, .rate = 6, .compound = 9}).GetPayment());
    // Each code falls back on its own: weekly payments with an unknown compounding.
    EXPECT_EQ(Loan({.amount = 100000, .periods = 1560, .rate = 6, .payment = 0}).GetPayment(),
              Loan({.amount = 100000, .periods = 1560, .rate = 6, .payment = 0, .compound = 42})
                  .GetPayment());
}

TEST(ComputePayment, IgnoresBalloonAndAdditionalPayment) {
    CTamsicDoc doc = Loan({.amount = 100000, .periods = 360, .rate = 6});
    const double payment = doc.GetPayment();
    doc.SetBalloon(true);
    doc.SetBalloonPeriod(60);
    doc.SetAdditionalPayment(100);
    doc.ComputePayment();
    EXPECT_EQ(payment, doc.GetPayment());
    doc.SetCompoundFrequency(0);
    doc.ComputePayment();
    EXPECT_NE(payment, doc.GetPayment());
}

TEST(SetLoanAmount, RoundsToCentsHalfAwayFromZeroOnce) {
    CTamsicDoc doc(kJan2003);
    const std::pair<double, long long> cases[] = {{1234.567, 123457},
                                                  {1234.561, 123456},
                                                  {0.005, 1},
                                                  {-1234.567, -123457},
                                                  {-1234.561, -123456},
                                                  {-1.007, -101},
                                                  {-1000, -100000},
                                                  {-5000, -500000},
                                                  {-1234.51, -123451},
                                                  {999999999999.99, 99999999999999},
                                                  {-999999999999.99, -99999999999999}};
    for (const auto& [amount, cents] : cases) {
        doc.SetLoanAmount(amount);
        EXPECT_EQ(double(cents) * 0.01, doc.GetLoanAmount()) << amount;
        doc.SetLoanAmount(doc.GetLoanAmount());
        EXPECT_EQ(double(cents) * 0.01, doc.GetLoanAmount()) << amount << " rounded twice";
    }
    // The payment follows the same rule: a negative loan pays the mirror of a positive one.
    for (const double amount : {100000.0, -100000.0}) {
        doc.SetLoanAmount(amount);
        doc.SetInterestRate(6);
        doc.SetNumPeriods(360);
        doc.ComputePayment();
        EXPECT_EQ((amount > 0 ? 59955 : -59955) * 0.01, doc.GetPayment());
    }
}

TEST(Frequencies, NamesAndCodesPerVocabulary) {
    EXPECT_EQ(4, PaymentFrequencyFromName("Quarterly"));
    EXPECT_EQ(5, CompoundFrequencyFromName("Quarterly"));
    EXPECT_EQ(0, PaymentFrequencyFromName("Weekly"));
    EXPECT_EQ(1, CompoundFrequencyFromName("Weekly"));
    EXPECT_EQ(8, CompoundFrequencyFromName("Continuous"));
    EXPECT_EQ(3, CompoundFrequencyFromName("Continuously"));
    EXPECT_EQ(2, PaymentFrequencyFromName("weekly"));
    EXPECT_EQ(2, PaymentFrequencyFromName(""));
    EXPECT_EQ("SemiAnnually", PaymentFrequencyName(5));
    EXPECT_EQ("Continuous", CompoundFrequencyName(8));
    EXPECT_EQ("Unknown", PaymentFrequencyName(7));
    EXPECT_EQ("Unknown", PaymentFrequencyName(-1));
    EXPECT_EQ("Unknown", CompoundFrequencyName(9));
    for (int code = 0; code < kPaymentFrequencyCount; ++code) {
        EXPECT_EQ(code, PaymentFrequencyFromName(PaymentFrequencyName(code)));
    }
    for (int code = 0; code < kCompoundFrequencyCount; ++code) {
        EXPECT_EQ(code, CompoundFrequencyFromName(CompoundFrequencyName(code)));
    }
}

TEST(NewDocument, DefaultsAndFirstPaymentDate) {
    const CTamsicDoc doc(OleDateTime::FromCivil({2026, 3, 15, 14, 30, 0}));
    EXPECT_EQ(OleDateTime::FromDate(2026, 4, 1), doc.GetFirstPaymentDate());
    EXPECT_TRUE(doc.m_bParametersPending);
    EXPECT_FALSE(doc.m_bUndoAvailable);
    EXPECT_FALSE(doc.m_bRedoAvailable);
    EXPECT_EQ(2, doc.GetPaymentFrequency());
    EXPECT_EQ(3, doc.GetCompoundFrequency());
    EXPECT_EQ(0.0, doc.GetLoanAmount());
    EXPECT_FALSE(doc.IsModified());

    EXPECT_EQ(OleDateTime::FromDate(2027, 1, 1),
              DefaultFirstPaymentDate(OleDateTime::FromCivil({2026, 12, 20, 9, 0, 0})));
    const OleDateTime firstOfMay = OleDateTime::FromCivil({2026, 5, 1, 10, 15, 30});
    EXPECT_EQ(firstOfMay, DefaultFirstPaymentDate(firstOfMay));
}

TEST(History, EntriesRestoreUnchanged) {
    CTamsicDoc doc(kJan2003);
    const OleDateTime date = OleDateTime::FromDate(2010, 6, 15);
    doc.SaveUndoTerms(1234.567, 7.5, 48, date, 0, 5, true, 24, 12.5);
    doc.SaveRedoTerms(99, 1, 2, kJan2003, 6, 7, false, 0, 0);
    doc.RestoreUndoTerms();
    const LoanTerms expected{1234.567, 48, 7.5, date, 0, 5, true, 24, 12.5};
    EXPECT_EQ(expected, doc.GetTerms());  // the amount is not rounded again
    doc.RestoreRedoTerms();
    EXPECT_EQ(99.0, doc.GetLoanAmount());
    doc.RestoreUndoTerms();  // an entry keeps its content after use
    EXPECT_EQ(expected, doc.GetTerms());
}

}  // namespace
}  // namespace brellow
