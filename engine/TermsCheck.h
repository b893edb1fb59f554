#pragma once

// What the program refuses before it computes a loan: terms typed into the parameters
// dialog or given on the command line. Fields that do not parse are refused by the
// caller with its own message; these are the checks on parsed values and on their
// combination.

#include "engine/Limits.h"
#include "engine/LoanTerms.h"

#include <optional>
#include <string>

namespace brellow {

// The entry a person must mend; the dialog puts the focus there.
enum class TermsField {
    Amount,
    Periods,
    Rate,
    FirstPayment,
    PaymentPeriod,
    CompoundPeriod,
    AdditionalPayment,
    Balloon,
    PayoffPeriod,
};

struct TermsProblem {
    TermsField field;
    std::string message;
};

// "Please enter an integer between %1 and %2." filled in.
std::string IntegerRangeMessage(long long low, long long high);

// The checks of one field that CheckTerms makes first, for a dialog that refuses a
// field before it reads the next: the amount finite and, rounded to cents as the
// document stores it, below 10^12 in magnitude; the additional payment finite and
// below 10^12 in magnitude.
std::optional<TermsProblem> CheckLoanAmount(double amount);
std::optional<TermsProblem> CheckAdditionalPayment(double payment);

// The first problem of the terms exactly as given, which must be the terms as the
// document stores them (CTamsicDoc::StoredTerms of typed values), so that the terms
// checked are the terms computed. Problems come in the order the dialog reads its fields:
//   amount finite and below 10^12 in magnitude, periods 0..1,000,000
//   (IntegerRangeMessage), rate finite, a valid first payment date, a ticked balloon's
//   payoff period between 1 and the number of periods, an additional payment finite and
//   below 10^12, a periodic rate that is finite and above -1, a finite payment, a last
//   payment no later than 31 December 9999, and every row amount and running total
//   within the cent limit (ScheduleWithinCentLimit).
// The frequency codes are taken as given (the names were already converted).
std::optional<TermsProblem> CheckTerms(const LoanTerms& terms);

}  // namespace brellow
