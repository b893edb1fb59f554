#include "engine/RefinanceAdvice.h"

#include "engine/Amortization.h"
#include "engine/Cents.h"
#include "engine/Limits.h"
#include "engine/NumberParse.h"
#include "engine/TermsCheck.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace brellow {

namespace {

// An annual percentage as a monthly fraction: the double nearest 1/1200.
constexpr double kPercentPerMonth = 0.0008333333333333334;

static_assert(kMaxPeriods == 1000000, "the term message names the limit");
constexpr const char* kTermLimitNote = " A loan term is at most 1,000,000 months.";

// A break-even period longer than the longest loan term is refused rather than worded:
// "8333333333333 years" tells nobody anything.
constexpr double kMaxBreakEvenMonths = kMaxPeriods;

// The level monthly payment that repays `principal` over `months` months.
double MonthlyPayment(double principal, double monthlyRate, unsigned months) {
    return principal / AnnuityFactor(monthlyRate, months);
}

std::optional<RefinanceRefusal> CheckTerm(RefinanceField field, unsigned years) {
    if (years >= 1 && years <= MaxRefinanceYears()) return std::nullopt;
    return RefinanceRefusal{field, IntegerRangeMessage(1, MaxRefinanceYears()) + kTermLimitNote};
}

// Where each field is held, by RefinanceField: a number or a whole count.
struct FieldSlot {
    double RefinanceInputs::*number;
    unsigned RefinanceInputs::*whole;
};
constexpr FieldSlot kFieldSlots[] = {
    {&RefinanceInputs::originalAmount, nullptr}, {nullptr, &RefinanceInputs::years},
    {&RefinanceInputs::rate, nullptr},           {nullptr, &RefinanceInputs::monthsPaid},
    {&RefinanceInputs::taxBracket, nullptr},     {nullptr, &RefinanceInputs::newYears},
    {&RefinanceInputs::newRate, nullptr},        {&RefinanceInputs::points, nullptr},
    {&RefinanceInputs::closingCost, nullptr},
};

// Each number finite, and the dollar amounts within the loan amount's limit, so that
// nothing typed there alone can carry a figure beyond the cent limit.
std::optional<RefinanceRefusal> CheckNumbers(const RefinanceInputs& in) {
    for (std::size_t i = 0; i < std::size(kFieldSlots); ++i) {
        const auto number = kFieldSlots[i].number;
        if (!number) continue;
        const auto field = static_cast<RefinanceField>(i);
        if (!std::isfinite(in.*number)) return RefinanceRefusal{field, "Please enter a number."};
        if (IsRefinanceMoneyField(field) &&
            !(std::fabs(RoundToCents(in.*number)) < kMaxLoanAmount)) {
            return RefinanceRefusal{field,
                                    "Please enter an amount between -999,999,999,999.99 and "
                                    "999,999,999,999.99."};
        }
    }
    return std::nullopt;
}

// A figure the advice is computed from must be one that can be shown to the cent.
std::optional<RefinanceRefusal> CheckFigure(double value, RefinanceField cause, const char* what) {
    if (WithinCentLimit(value)) return std::nullopt;
    return RefinanceRefusal{cause, std::string("With these figures ") + what +
                                       " would exceed what can be shown to the cent."};
}

}  // namespace

unsigned MaxRefinanceYears() noexcept {
    return kMaxPeriods / 12;
}

std::optional<RefinanceRefusal> SetRefinanceField(RefinanceInputs& inputs, RefinanceField field,
                                                  std::string_view text) {
    const FieldSlot& slot = kFieldSlots[static_cast<std::size_t>(field)];
    if (slot.whole) {
        const auto value = ParseUnsigned(text);
        if (!value) return RefinanceRefusal{field, "Please enter a positive integer."};
        inputs.*slot.whole = *value;
    } else {
        const auto value = IsRefinanceMoneyField(field) ? ParseMoney(text) : ParseDouble(text);
        if (!value) return RefinanceRefusal{field, "Please enter a number."};
        inputs.*slot.number = *value;
    }
    return std::nullopt;
}

std::optional<RefinanceRefusal> CheckRefinanceInputs(const RefinanceInputs& in) {
    if (auto problem = CheckNumbers(in)) return problem;
    if (auto problem = CheckTerm(RefinanceField::Years, in.years)) return problem;
    const unsigned months = in.years * 12;
    if (in.monthsPaid > months) {
        return RefinanceRefusal{RefinanceField::MonthsPaid, IntegerRangeMessage(0, months)};
    }
    if (!(in.taxBracket < 100.0)) {
        return RefinanceRefusal{RefinanceField::TaxBracket,
                                "Please enter a tax bracket below 100%: at 100% or more "
                                "nothing is saved after tax."};
    }
    return CheckTerm(RefinanceField::NewYears, in.newYears);
}

std::variant<RefinanceFigures, RefinanceRefusal> ComputeRefinance(const RefinanceInputs& in) {
    if (auto problem = CheckRefinanceInputs(in)) return *std::move(problem);

    RefinanceFigures figures;
    const double oldRate = in.rate * kPercentPerMonth;
    const unsigned oldMonths = in.years * 12;
    figures.oldPayment = RoundToCents(MonthlyPayment(in.originalAmount, oldRate, oldMonths));
    if (auto problem = CheckFigure(figures.oldPayment, RefinanceField::Rate,
                                   "the current loan's monthly payment")) {
        return *problem;
    }

    figures.balance = in.originalAmount;
    for (unsigned month = 0; month < in.monthsPaid; ++month) {
        const AmortizationStep step = Amortize(figures.balance, figures.oldPayment, oldRate);
        if (month == oldMonths - 1) {
            // The last month of the term pays off exactly what is left.
            figures.oldPayment = figures.balance + step.interest;
            figures.balance = 0.0;
        } else {
            figures.balance = step.balance;
        }
    }
    // The balance leaves the level payment's path only as far as the rate magnifies the
    // payment's rounding, month after month.
    if (auto problem =
            CheckFigure(figures.balance, RefinanceField::Rate, "the current loan's balance")) {
        return *problem;
    }
    if (auto problem = CheckFigure(figures.oldPayment, RefinanceField::Rate,
                                   "the current loan's last payment")) {
        return *problem;
    }

    // The closing cost is below 10^12, so a cost beyond the limit comes from the points.
    figures.cost = in.points * figures.balance * 0.01 + in.closingCost;
    if (auto problem =
            CheckFigure(figures.cost, RefinanceField::Points, "the cost of refinancing")) {
        return *problem;
    }

    figures.newPayment =
        MonthlyPayment(figures.balance, in.newRate * kPercentPerMonth, in.newYears * 12);
    if (auto problem = CheckFigure(figures.newPayment, RefinanceField::NewRate,
                                   "the new loan's monthly payment")) {
        return *problem;
    }
    if (!(figures.newPayment < figures.oldPayment)) return figures;

    figures.saving = (figures.oldPayment - figures.newPayment) * (1.0 - in.taxBracket * 0.01);
    // Only a negative bracket makes the saving larger than the difference of the payments.
    const RefinanceField savingCause =
        in.taxBracket < 0.0 ? RefinanceField::TaxBracket : RefinanceField::NewRate;
    if (auto problem = CheckFigure(figures.saving, savingCause, "the monthly saving after tax")) {
        return *problem;
    }
    const double breakEven = std::trunc(figures.cost / figures.saving + 0.5);
    if (breakEven <= 0.0) return figures;
    if (!(breakEven <= kMaxBreakEvenMonths)) {
        // The larger part of the cost is the one to mend.
        const bool points = std::fabs(figures.cost - in.closingCost) > std::fabs(in.closingCost);
        return RefinanceRefusal{points ? RefinanceField::Points : RefinanceField::ClosingCost,
                                "The monthly saving is too small to pay back the cost of "
                                "refinancing within 1,000,000 months."};
    }
    figures.breakEvenMonths = static_cast<std::int64_t>(breakEven);
    return figures;
}

}  // namespace brellow
