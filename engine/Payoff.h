#pragma once

// When a loan is paid off, what it costs, and what its additional payment saves.
//
// The figures are the schedule's own: the number of rows, the date of the last one and
// the running totals after the last one, from one walk of the schedule generator. The
// loan without its additional payment is the same terms with an additional payment of
// 0 and the payment computed again, walked the same way; the savings are the
// differences.
//   100,000.00 at 6 % over 360 months from January 2003 with 100.00 extra a month:
//   252 payments ending 1 December 2023 instead of 360 ending 1 December 2032, so
//   108 payments, 9 years and 0 months saved.
//
// Time saved counts the payments saved as whole months: a payment is 12 / payments a
// year months long (PaymentsPerYear), so 26 biweekly payments are 12 months and
// 3 weekly payments are 0 months (3 × 12 / 52 = 0.69). Savings are negative when a
// negative additional payment makes the loan dearer.
//
// The loan without its additional payment is checked as any schedule is shown: its rows
// and totals stay within the cent limit and its dates within the calendar (Limits.h). The
// loan itself was checked with its terms, but without the additional payment it can run
// much longer: 100,000.00 at 100 % over 1,000 months with 1,000.00 extra is paid off in
// 28 payments, while the level payment alone rounds short by a fraction of a cent that
// compounds to a last payment of about 2 × 10^33. Such figures are left out, and the
// summary says why instead.

#include "engine/CTamsicDoc.h"
#include "engine/OleDateTime.h"

#include <optional>
#include <string>

namespace brellow {

struct PayoffFigures {
    int payments = 0;
    // Null when there are no payments; Invalid when the payments have no dates.
    OleDateTime lastPayment{0.0, OleDateTime::Status::Null};
    double totalPaid = 0.0;
    double totalInterest = 0.0;

    friend bool operator==(const PayoffFigures&, const PayoffFigures&) = default;
};

struct PayoffSavings {
    int payments = 0;
    int years = 0;
    int months = 0;  // -11..11, with the sign of `years`
    double interest = 0.0;

    friend bool operator==(const PayoffSavings&, const PayoffSavings&) = default;
};

struct PayoffSummary {
    PayoffFigures loan;  // the loan as it stands
    // Present when the additional payment is not 0.
    std::optional<PayoffFigures> withoutAdditional;
    std::optional<PayoffSavings> saved;
    // Why there are no figures without the additional payment although the loan has one;
    // empty otherwise.
    std::string withoutAdditionalProblem;

    friend bool operator==(const PayoffSummary&, const PayoffSummary&) = default;
};

// The same terms with an additional payment of 0 and the payment computed again.
CTamsicDoc WithoutAdditionalPayment(const CTamsicDoc& doc);
// The figures of the document's schedule; needs the payment computed.
PayoffFigures ComputePayoffFigures(const CTamsicDoc& doc);
// The figures, and those of the loan without its additional payment with the savings, or
// the reason why those are left out.
PayoffSummary ComputePayoff(const CTamsicDoc& doc);

}  // namespace brellow
