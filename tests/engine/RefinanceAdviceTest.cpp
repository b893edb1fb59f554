#include "engine/RefinanceAdvice.h"

#include "output/RefinanceAdviceText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <variant>

namespace brellow {
namespace {

constexpr const char* kShouldRefinance =
    ".\nYou should refinance with this option if you plan to sell the house after the break "
    "even period.";

// 120,000.00 over 10 years at 0 % pays 1,000.00 a month; the same balance over 20 years
// at 0 % pays 500.00, so the saving is 500.00 a month before tax and a closing cost of
// 500 × K breaks even after exactly K months.
RefinanceInputs ZeroRateCase(double closingCost) {
    RefinanceInputs in;
    in.originalAmount = 120000.0;
    in.years = 10;
    in.newYears = 20;
    in.closingCost = closingCost;
    return in;
}

std::string Advice(const RefinanceInputs& in) {
    const RefinanceResult result = AdviseRefinance(in);
    EXPECT_FALSE(result.refusal) << (result.refusal ? result.refusal->message : "");
    return result.advice;
}

std::string SecondLine(const std::string& advice) {
    return advice.substr(advice.find('\n') + 1);
}

TEST(ComputeRefinance, FiguresBehindEachAdvice) {
    const struct {
        unsigned newYears;
        double closingCost;
        RefinanceFigures figures;
    } cases[] = {
        {20,
         15000.0,
         {.balance = 120000.0,
          .oldPayment = 1000.0,
          .newPayment = 500.0,
          .cost = 15000.0,
          .saving = 500.0,
          .breakEvenMonths = 30}},
        {20,
         0.0,
         {.balance = 120000.0, .oldPayment = 1000.0, .newPayment = 500.0, .saving = 500.0}},
        // A higher payment saves nothing, whatever the cost.
        {5,
         15000.0,
         {.balance = 120000.0, .oldPayment = 1000.0, .newPayment = 2000.0, .cost = 15000.0}},
    };
    for (const auto& c : cases) {
        RefinanceInputs in = ZeroRateCase(c.closingCost);
        in.newYears = c.newYears;
        const auto computed = ComputeRefinance(in);
        ASSERT_TRUE(std::holds_alternative<RefinanceFigures>(computed)) << c.newYears;
        EXPECT_EQ(c.figures, std::get<RefinanceFigures>(computed)) << c.newYears;
    }
}

TEST(AdviseRefinance, BreakEvenPhrases) {
    const struct {
        double months;
        const char* phrase;
    } cases[] = {
        {7, "Your break even period is 7 months"},
        {1, "Your break even period is 1 month"},
        {12, "Your break even period is 1 year"},
        {13, "Your break even period is 1 year and 1 month"},
        {24, "Your break even period is 2 years"},
        {30, "Your break even period is 2 years and 6 months"},
        {0.5, "Your break even period is 1 month"},  // F / S of 0.5 rounds up
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(c.phrase) + kShouldRefinance,
                  SecondLine(Advice(ZeroRateCase(500.0 * c.months))))
            << c.months;
    }
}

TEST(AdviseRefinance, BalanceLineThenDefiniteAdvice) {
    EXPECT_EQ(
        "Your new loan balance is $120,000.00 (excluding closing cost and points).\n"
        "You should definitely refinance with this option.",
        Advice(ZeroRateCase(0.0)));
    // 0.49 months rounds to none.
    EXPECT_EQ("You should definitely refinance with this option.",
              SecondLine(Advice(ZeroRateCase(245.0))));
}

TEST(AdviseRefinance, EqualOrHigherNewPaymentIsNotWorthIt) {
    const std::string notWorthIt =
        "Your new monthly payment will be even more than your old monthly payment.\n"
        "You should not refinance with this option";
    RefinanceInputs equal = ZeroRateCase(0.0);
    equal.newYears = 10;
    EXPECT_EQ(notWorthIt, SecondLine(Advice(equal)));
    RefinanceInputs higher = ZeroRateCase(0.0);
    higher.newYears = 5;
    EXPECT_EQ(notWorthIt, SecondLine(Advice(higher)));
}

TEST(AdviseRefinance, TaxBracketShrinksTheSaving) {
    RefinanceInputs in = ZeroRateCase(500.0 * 12);
    in.taxBracket = 50.0;  // 250.00 saved after tax
    EXPECT_EQ(std::string("Your break even period is 2 years") + kShouldRefinance,
              SecondLine(Advice(in)));
    in.taxBracket = -100.0;  // taken as given: 1,000.00 saved
    EXPECT_EQ(std::string("Your break even period is 6 months") + kShouldRefinance,
              SecondLine(Advice(in)));
}

TEST(AdviseRefinance, MortgageWithInterestAndPoints) {
    RefinanceInputs in;
    in.originalAmount = 100000.0;
    in.years = 30;
    in.rate = 6.0;  // 599.55 a month
    in.monthsPaid = 60;
    in.taxBracket = 28.0;
    in.newYears = 30;
    in.newRate = 5.0;
    in.points = 1.0;
    in.closingCost = 2000.0;
    EXPECT_EQ(
        std::string("Your new loan balance is $93,054.39 (excluding closing cost and points).\n"
                    "Your break even period is 3 years and 5 months") +
            kShouldRefinance,
        Advice(in));
}

TEST(AdviseRefinance, PayingTheWholeTermLeavesNoBalance) {
    RefinanceInputs in;
    in.originalAmount = 100000.0;
    in.years = 30;
    in.rate = 6.0;
    in.monthsPaid = 360;
    in.newYears = 15;
    in.newRate = 4.0;
    in.closingCost = 1200.0;
    // The old payment compared is the last one, which pays off what was left.
    EXPECT_EQ(
        "Your new loan balance is $0.00 (excluding closing cost and points).\n"
        "Your break even period is 2 months" +
            std::string(kShouldRefinance),
        Advice(in));
}

TEST(AdviseRefinance, RefusesTermsThatCannotBeComputed) {
    const std::string kAmountMessage =
        "Please enter an amount between -999,999,999,999.99 and 999,999,999,999.99.";
    const auto Beyond = [](const std::string& figure) {
        return "With these figures " + figure + " would exceed what can be shown to the cent.";
    };
    const std::string kTooLong =
        "The monthly saving is too small to pay back the cost of refinancing within 1,000,000 "
        "months.";
    const std::string termMessage =
        "Please enter an integer between 1 and 83333. A loan term is at most 1,000,000 months.";
    const struct {
        void (*change)(RefinanceInputs&);
        RefinanceField field;
        std::string message;
    } cases[] = {
        {[](RefinanceInputs& in) { in.years = 0; }, RefinanceField::Years, termMessage},
        {[](RefinanceInputs& in) { in.years = 83334; }, RefinanceField::Years, termMessage},
        {[](RefinanceInputs& in) { in.years = 4294967295u; }, RefinanceField::Years, termMessage},
        {[](RefinanceInputs& in) { in.newYears = 0; }, RefinanceField::NewYears, termMessage},
        {[](RefinanceInputs& in) { in.monthsPaid = 121; }, RefinanceField::MonthsPaid,
         "Please enter an integer between 0 and 120."},
        {[](RefinanceInputs& in) { in.taxBracket = 100.0; }, RefinanceField::TaxBracket,
         "Please enter a tax bracket below 100%: at 100% or more nothing is saved after tax."},
        {[](RefinanceInputs& in) { in.rate = std::numeric_limits<double>::quiet_NaN(); },
         RefinanceField::Rate, "Please enter a number."},
        // The dollar fields take the loan amount's limit.
        {[](RefinanceInputs& in) { in.originalAmount = 1.7e308; }, RefinanceField::OriginalAmount,
         kAmountMessage},
        {[](RefinanceInputs& in) { in.originalAmount = -1e12; }, RefinanceField::OriginalAmount,
         kAmountMessage},
        {[](RefinanceInputs& in) { in.closingCost = 1e20; }, RefinanceField::ClosingCost,
         kAmountMessage},
        // Every figure within the cent limit, refused with the field that carries it there.
        // A rate so small that 1 + r is 1: the annuity divides by zero.
        {[](RefinanceInputs& in) { in.rate = 1e-20; }, RefinanceField::Rate,
         Beyond("the current loan's monthly payment")},
        {[](RefinanceInputs& in) { in.rate = 1e12; }, RefinanceField::Rate,
         Beyond("the current loan's monthly payment")},
        // At -3,600 % a year (-300 % a month) the balance's distance from the level payment's
        // path doubles every month: the payment's rounding to cents grows to 5 × 10^22.
        {[](RefinanceInputs& in) {
             in.originalAmount = 123456.78;
             in.rate = -3600;
             in.monthsPaid = 110;
         },
         RefinanceField::Rate, Beyond("the current loan's balance")},
        {[](RefinanceInputs& in) { in.points = 1e20; }, RefinanceField::Points,
         Beyond("the cost of refinancing")},
        {[](RefinanceInputs& in) { in.newRate = 1e-20; }, RefinanceField::NewRate,
         Beyond("the new loan's monthly payment")},
        {[](RefinanceInputs& in) { in.taxBracket = -1e308; }, RefinanceField::TaxBracket,
         Beyond("the monthly saving after tax")},
        // 500.00 saved a month pays back 10^9 in 2,000,000 months.
        {[](RefinanceInputs& in) { in.closingCost = 1e9; }, RefinanceField::ClosingCost, kTooLong},
        {[](RefinanceInputs& in) { in.points = 1e6; }, RefinanceField::Points, kTooLong},
    };
    for (const auto& c : cases) {
        RefinanceInputs in = ZeroRateCase(0.0);
        c.change(in);
        const RefinanceResult result = AdviseRefinance(in);
        ASSERT_TRUE(result.refusal) << c.message;
        EXPECT_EQ(c.field, result.refusal->field) << c.message;
        EXPECT_EQ(c.message, result.refusal->message);
        EXPECT_TRUE(result.advice.empty());
    }
}

TEST(AdviseRefinance, DollarFieldsUpToTheLoanAmountsLimit) {
    RefinanceInputs in = ZeroRateCase(-999999999999.99);
    in.originalAmount = 999999999999.99;
    EXPECT_TRUE(std::holds_alternative<RefinanceFigures>(ComputeRefinance(in)));
}

TEST(AdviseRefinance, LongestTermsRunToTheEnd) {
    RefinanceInputs in = ZeroRateCase(0.0);
    in.years = MaxRefinanceYears();
    in.monthsPaid = MaxRefinanceYears() * 12;
    in.rate = 3.0;
    in.newYears = MaxRefinanceYears();
    EXPECT_EQ("Your new loan balance is $0.00 (excluding closing cost and points).",
              Advice(in).substr(0, Advice(in).find('\n')));
}

TEST(SetRefinanceField, ReadsNumbersAndWholeMonths) {
    RefinanceInputs in;
    EXPECT_FALSE(SetRefinanceField(in, RefinanceField::Rate, " 7.25 "));
    EXPECT_FALSE(SetRefinanceField(in, RefinanceField::MonthsPaid, "4294967295"));
    EXPECT_EQ(7.25, in.rate);
    EXPECT_EQ(4294967295u, in.monthsPaid);

    const struct {
        RefinanceField field;
        const char* text;
        const char* message;
    } refused[] = {
        {RefinanceField::Years, "-5", "Please enter a positive integer."},
        {RefinanceField::Years, "4294967296", "Please enter a positive integer."},
        {RefinanceField::NewYears, "1.5", "Please enter a positive integer."},
        {RefinanceField::OriginalAmount, "", "Please enter a number."},
        {RefinanceField::ClosingCost, "nan", "Please enter a number."},
        {RefinanceField::Points, "inf", "Please enter a number."},
        {RefinanceField::TaxBracket, "1e999", "Please enter a number."},
        {RefinanceField::NewRate, "5,5", "Please enter a number."},
    };
    for (const auto& r : refused) {
        const auto refusal = SetRefinanceField(in, r.field, r.text);
        ASSERT_TRUE(refusal) << r.text;
        EXPECT_EQ(r.field, refusal->field);
        EXPECT_EQ(r.message, refusal->message) << r.text;
    }
    EXPECT_EQ(7.25, in.rate);
}

}  // namespace
}  // namespace brellow
