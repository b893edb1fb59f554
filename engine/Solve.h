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
//   periods: not the roundest, since every count from 2,089 to about 2,300 months gives
//            500.01 on 100,000.00 at 6 % but only about 2,170 payments of 500.01 pay it
//            off. The count N at which payments of exactly the given one clear the amount,
//            N = -ln(1 - A i / P) / ln(1 + i) (A / P at a rate of 0), is taken to the
//            nearer of its two whole neighbours whose payment is the given one (360 for
//            599.55), or rounded up where neither is (700.00 takes 251.2, so 252 months,
//            whose payment is 698.86). 1 to 1,000,000; a payment that does not exceed the
//            first period's interest never pays the loan off and is refused.
// The amount and rate searches bisect a bounded range on which the payment is monotonic,
// so any input ends after a few dozen payment computations. Near a rate of 0 the payment
// jitters by dollars from one rate to the next (the annuity factor loses digits there), so
// a rate found is checked and, where it fails, the rates within 64 units of it are tried.

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
