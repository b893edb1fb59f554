#include "engine/TermsCheck.h"

#include "engine/CTamsicDoc.h"
#include "engine/Cents.h"
#include "engine/Schedule.h"

#include <cmath>

namespace brellow {
std::string IntegerRangeMessage(long long low, long long high) {
    return "Please enter an integer between " + std::to_string(low) + " and " +
           std::to_string(high) + ".";
}

std::optional<TermsProblem> CheckLoanAmount(double amount) {
    if (!std::isfinite(amount)) return TermsProblem{TermsField::Amount, "Please enter a number."};
    if (std::fabs(RoundToCents(amount)) >= kMaxLoanAmount) {
        return TermsProblem{TermsField::Amount,
                            "Please enter a loan amount between -999,999,999,999.99 and "
                            "999,999,999,999.99."};
    }
    return std::nullopt;
}

std::optional<TermsProblem> CheckAdditionalPayment(double payment) {
    if (!std::isfinite(payment)) {
        return TermsProblem{TermsField::AdditionalPayment, "Please enter a number."};
    }
    if (std::fabs(payment) >= kMaxLoanAmount) {
        return TermsProblem{TermsField::AdditionalPayment,
                            "Please enter an additional payment between -999,999,999,999.99 and "
                            "999,999,999,999.99."};
    }
    return std::nullopt;
}

std::optional<TermsProblem> CheckTerms(const LoanTerms& terms) {
    if (auto problem = CheckLoanAmount(terms.loanAmount)) return problem;
    if (terms.numPeriods < 0 || terms.numPeriods > kMaxPeriods) {
        return TermsProblem{TermsField::Periods, IntegerRangeMessage(0, kMaxPeriods)};
    }
    if (!std::isfinite(terms.interestRate)) {
        return TermsProblem{TermsField::Rate, "Please enter a number."};
    }
    if (!terms.firstPayment.HasCalendarDate()) {
        return TermsProblem{TermsField::FirstPayment, "Please enter a date and/or time."};
    }
    if (terms.balloon && terms.numPeriods < 1) {
        return TermsProblem{TermsField::PayoffPeriod,
                            "A balloon payoff needs at least one payment period. Please enter the "
                            "number of periods, or clear \"Balloon Payment\"."};
    }
    if (terms.balloon && (terms.balloonPeriod < 1 || terms.balloonPeriod > terms.numPeriods)) {
        return TermsProblem{TermsField::PayoffPeriod, IntegerRangeMessage(1, terms.numPeriods)};
    }
    if (auto problem = CheckAdditionalPayment(terms.additionalPayment)) return problem;

    CTamsicDoc doc(terms.firstPayment);
    doc.RestoreTerms(terms);
    doc.ComputePayment();
    const double rate = doc.GetPeriodicRate();
    if (!std::isfinite(rate) || rate <= -1.0) {
        return TermsProblem{TermsField::Rate,
                            "The interest rate per payment period cannot be computed for this "
                            "annual rate and compounding period. Please enter another rate."};
    }
    if (terms.numPeriods >= 1 && rate != 0.0) {
        if (!std::isfinite(doc.GetLoanAmount() / AnnuityFactor(rate, terms.numPeriods))) {
            return TermsProblem{TermsField::Rate,
                                "The payment per period cannot be computed for this rate and "
                                "number of periods. Please enter another rate."};
        }
    }
    if (!ScheduleFitsCalendar(doc)) {
        return TermsProblem{TermsField::FirstPayment,
                            "The last payment would fall after 12/31/9999. Please enter an "
                            "earlier first payment date or fewer periods."};
    }
    if (!ScheduleWithinCentLimit(doc)) {
        return TermsProblem{
            TermsField::Periods,
            "With these terms the schedule's amounts would exceed what can be shown "
            "to the cent. Please enter fewer periods, a lower rate or a smaller "
            "amount."};
    }
    return std::nullopt;
}

}  // namespace brellow
