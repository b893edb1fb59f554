#include "engine/Payoff.h"

#include "engine/Schedule.h"

namespace brellow {

CTamsicDoc WithoutAdditionalPayment(const CTamsicDoc& doc) {
    CTamsicDoc without = doc;
    without.SetAdditionalPayment(0.0);
    without.ComputePayment();
    return without;
}

PayoffFigures ComputePayoffFigures(const CTamsicDoc& doc) {
    ScheduleGenerator schedule(doc, kAllYears);
    PayoffFigures figures;
    figures.payments = schedule.Length();
    if (figures.payments > 0)
        figures.lastPayment = schedule.Calendar().DateOf(figures.payments - 1);
    ScheduleRow row;
    while (schedule.Next(row)) {
    }
    figures.totalPaid = schedule.Totals().running.payment;
    figures.totalInterest = schedule.Totals().running.interest;
    return figures;
}

PayoffSummary ComputePayoff(const CTamsicDoc& doc) {
    PayoffSummary summary;
    summary.loan = ComputePayoffFigures(doc);
    if (doc.GetAdditionalPayment() == 0.0) return summary;

    const CTamsicDoc without = WithoutAdditionalPayment(doc);
    if (!ScheduleFitsCalendar(without)) {
        summary.withoutAdditionalProblem =
            "Without the additional payment the last payment would fall after 12/31/9999.";
        return summary;
    }
    if (!ScheduleWithinCentLimit(without)) {
        summary.withoutAdditionalProblem =
            "Without the additional payment the schedule's amounts would exceed what can be "
            "shown to the cent.";
        return summary;
    }
    summary.withoutAdditional = ComputePayoffFigures(without);

    PayoffSavings saved;
    saved.payments = summary.withoutAdditional->payments - summary.loan.payments;
    const int months = static_cast<int>(static_cast<long long>(saved.payments) * 12 /
                                        PaymentsPerYear(doc.GetPaymentFrequency()));
    saved.years = months / 12;
    saved.months = months % 12;
    saved.interest = summary.withoutAdditional->totalInterest - summary.loan.totalInterest;
    summary.saved = saved;
    return summary;
}

}  // namespace brellow
