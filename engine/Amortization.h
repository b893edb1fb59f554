#pragma once

// The arithmetic every schedule walk shares: the annuity factor that prices the level
// payment, and one payment's step.
//
// A payment T on a balance B at the periodic rate i pays interest i × B and principal
// T − i × B, leaving B − principal. Nothing is rounded: 100,000.00 at 0.005 a month with
// a payment of 599.55 leaves 99,900.45 after the first step, and the walk goes on from
// that double, not from its rounded cents. Where a walk stops (the last period, a
// balance of zero or below) is each caller's own rule.

#include "engine/LoanTerms.h"

namespace brellow {

// What a schedule is computed from: the stored terms, the level payment and the rate
// per payment period (a document's terms and the two values it computed from them).
struct ScheduleBasis {
    LoanTerms terms;
    double payment = 0.0;
    double periodicRate = 0.0;

    friend bool operator==(const ScheduleBasis&, const ScheduleBasis&) = default;
};

struct AmortizationStep {
    double interest = 0.0;
    double principal = 0.0;
    double balance = 0.0;  // after the payment
};

inline AmortizationStep Amortize(double balance, double payment, double periodicRate) noexcept {
    const double interest = periodicRate * balance;
    const double principal = payment - interest;
    return {interest, principal, balance - principal};
}

// Present value of n payments of 1 at rate i per period: (1 - (1 + i)^-n) / i, and n
// itself at a rate of exactly 0 (the limit, so a loan at 0 % repays A / n a period).
double AnnuityFactor(double periodicRate, double periods) noexcept;

// Number of rows of the schedule: the balloon period when the balloon is set, else the
// number of periods; with an additional payment of at least 0.002 in magnitude, cut at
// the first row whose balance reaches zero or below.
int ScheduleLength(const ScheduleBasis& basis) noexcept;
// Sum of the interest of every payment up to the one that clears the balance.
double TotalInterest(const ScheduleBasis& basis) noexcept;

}  // namespace brellow
