#pragma once

// Finding the one of amount, number of periods, rate and payment that is not given,
// so that computing the loan from the result gives the given payment.
//
// The given payment counts in whole cents (599.555 is 599.56). The payment computed is
// CTamsicDoc::ComputePayment's, rounded to cents, so a whole range of
// amounts (or rates) gives the same payment: 599.55 at 6 % over 360 months is the
// payment of every amount from 99,999.07 to 100,000.74. The solve takes the roundest
// value of that range, the one with the most trailing zeros (nearest the middle among
// equals): 100,000.00, not the exact 99,999.90 = 599.55 × annuity factor.
//   amount:  whole cents, magnitude below 10^12;
//   rate:    annual percent with six decimals, from -99 to 1,000;
//   periods: the smallest number, 1 to 1,000,000, whose payment is no larger than the
//            given one (in magnitude, with the amount's sign): the fewest payments that
//            pay the loan off. Its payment can be smaller than the given one (700.00 on
//            100,000.00 at 6 % takes 253 months, whose payment is 699.73).
// Every search bisects a bounded range on which the payment is monotonic, so any input
// ends after a few dozen payment computations.

#include "engine/LoanTerms.h"

#include <string>
#include <variant>

namespace brellow {

enum class SolveFor { Amount, Periods, Rate, Payment };

struct SolvedLoan {
    LoanTerms terms;  // the given terms with the solved one filled in
    double payment = 0.0;

    friend bool operator==(const SolvedLoan&, const SolvedLoan&) = default;
};

// Why no value fits; the message names no option or field.
struct SolveFailure {
    std::string message;
};

// Fills in the `missing` term of `terms` (its value there is ignored) from the others
// and `payment` (ignored when solving for the payment). The terms must be stored terms
// whose periodic rate can be computed (CheckTerms with the missing term set to 0); the
// result is not checked, so the caller runs CheckTerms on it.
std::variant<SolvedLoan, SolveFailure> SolveLoan(const LoanTerms& terms, double payment,
                                                 SolveFor missing);

}  // namespace brellow
