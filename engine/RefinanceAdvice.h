#pragma once

// Whether replacing a mortgage that has been paid for some months by a new loan pays
// off, and after how long. Everything is monthly.
//
//   old payment P1 = annuity of the original amount over years × 12 months at rate/1200,
//                    rounded to cents;
//   balance B      = the original amount after the months already paid (the month
//                    that ends the term pays the loan off exactly);
//   cost F         = points % of B + closing cost;
//   new payment P2 = annuity of B over new years × 12 months at new rate/1200;
//   saving S       = (P1 − P2) × (1 − tax bracket / 100) a month;
//   break-even K   = F / S months, rounded half up.
// A rate of 0 repays the principal in equal parts (the old payment rounded to cents,
// the new one not). Example: 120,000.00 over 10 years at 0 %, nothing paid yet,
// refinanced over 20 years at 0 % for a closing cost of 15,000.00: P1 = 1,000.00,
// P2 = 500.00, K = 30, "Your break even period is 2 years and 6 months." (the advice is
// worded by RefinanceAdviceText.h).
//
// Inputs that leave the computation undefined or its figures beyond what can be shown are
// refused with the field to mend: a dollar amount (original amount, closing cost) of 10^12
// or more in magnitude, as a loan amount is; a term of 0 years or longer than 1,000,000
// months; more months paid than the term has; a tax bracket of 100 % or more; a balance,
// payment, cost or saving that is not a number below 2^53 cents in magnitude (Limits.h),
// named by the field that carries it there (points of 1e20 % make the cost too large, not
// the closing cost); and a break-even period longer than 1,000,000 months.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace brellow {

// The dialog's fields, in the order they are read and checked.
enum class RefinanceField {
    OriginalAmount,
    Years,
    Rate,
    MonthsPaid,
    TaxBracket,
    NewYears,
    NewRate,
    Points,
    ClosingCost,
};

struct RefinanceInputs {
    double originalAmount = 0.0;
    unsigned years = 0;  // current loan's term
    double rate = 0.0;   // annual, percent
    unsigned monthsPaid = 0;
    double taxBracket = 0.0;  // percent
    unsigned newYears = 0;
    double newRate = 0.0;
    double points = 0.0;  // percent of the new loan's balance
    double closingCost = 0.0;
};

struct RefinanceRefusal {
    RefinanceField field;
    std::string message;
};

// What the advice is worded from; every money figure is below 2^53 cents in magnitude.
struct RefinanceFigures {
    double balance = 0.0;     // left on the current loan: the new loan's amount
    double oldPayment = 0.0;  // the current monthly payment; the last one when the term is over
    double newPayment = 0.0;  // the new loan's monthly payment
    double cost = 0.0;        // points on the balance plus the closing cost
    // Both 0 when the new payment is not lower: refinancing saves nothing.
    double saving = 0.0;  // a month, after tax
    // Cost / saving rounded half up; 0 when that is 0 or less (the cost is back at once).
    std::int64_t breakEvenMonths = 0;

    friend bool operator==(const RefinanceFigures&, const RefinanceFigures&) = default;
};

// The original amount and the closing cost: dollars, which may be typed as the program
// shows them ("$1,500.00").
constexpr bool IsRefinanceMoneyField(RefinanceField field) noexcept {
    return field == RefinanceField::OriginalAmount || field == RefinanceField::ClosingCost;
}

// Reads one field as typed into `inputs`: money as ParseMoney reads it for the money
// fields, a number for the rates, bracket and points ("Please enter a number."
// otherwise), a decimal integer of 32 bits without sign for the years and months
// ("Please enter a positive integer." otherwise). The same text is read whatever the
// user's locale.
std::optional<RefinanceRefusal> SetRefinanceField(RefinanceInputs& inputs, RefinanceField field,
                                                  std::string_view text);

// The refusals that need no computation, the first in the order the fields are read:
// a number that is not finite (only a caller that skips SetRefinanceField can pass
// one), a dollar amount beyond the loan amount's limit, a term out of range, more months
// paid than the term has, a tax bracket of 100 % or more.
std::optional<RefinanceRefusal> CheckRefinanceInputs(const RefinanceInputs& inputs);

// The figures of the formulas above, or the first refusal: those of
// CheckRefinanceInputs, then a payment, balance, cost or saving beyond the cent limit or
// not finite, or a break-even period beyond 1,000,000 months.
std::variant<RefinanceFigures, RefinanceRefusal> ComputeRefinance(const RefinanceInputs& inputs);

// The longest term either loan may have, in years (a term is at most 1,000,000 months).
unsigned MaxRefinanceYears() noexcept;

}  // namespace brellow
