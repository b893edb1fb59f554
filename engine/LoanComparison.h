#pragma once

// Several loans side by side: each one's terms and payoff figures, and what each costs
// beyond the cheapest of them.
//
// The payoff figures are the Payoff Summary's (Payoff.h), one walk of each schedule. The
// cheapest loan is the one with the least total interest; where several share it, the
// first of them in the order given. Every other loan's total interest and total paid are
// compared with the cheapest's:
//   100,000.00 at 6 % over 360 months pays 115,838.53 of interest and 215,838.53 in all;
//   over 180 months it pays 51,893.88 and 151,893.88, and is the cheapest. The 360-month
//   loan costs 63,944.65 more interest and 63,944.65 more in all.
// A smaller loan can pay more interest but less in all, so the difference in total paid
// may be negative.
//
// Nothing beyond what can be shown to the cent is given (Limits.h): a loan whose schedule
// leaves the cent limit or the calendar has no figures and says why, and a difference of
// two figures within the limit can still reach twice it (interest of +8 × 10^13 against
// -8 × 10^13); it is left out with the reason.

#include "engine/CTamsicDoc.h"
#include "engine/LoanTerms.h"
#include "engine/Payoff.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brellow {

struct ComparedLoan {
    std::string title;
    LoanTerms terms;
    double payment = 0.0;  // per period, without the additional payment
    // Absent, with the reason in `problem`, when the schedule is beyond the limits.
    std::optional<PayoffFigures> payoff;
    std::string problem;
    // This loan's total interest and total paid less the cheapest loan's; absent without
    // figures, or beyond the cent limit with the reason in `differenceProblem`.
    std::optional<double> interestVsCheapest;
    std::optional<double> paidVsCheapest;
    std::string differenceProblem;
};

struct LoanComparison {
    std::vector<ComparedLoan> loans;  // in the order given
    // Index of the cheapest loan; none when no loan has figures.
    std::optional<std::size_t> cheapest;
};

// Compares the documents, titled by their titles; each needs its payment computed.
LoanComparison CompareLoans(std::span<const CTamsicDoc> docs);

}  // namespace brellow
