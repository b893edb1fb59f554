#include "engine/LoanComparison.h"

#include "engine/Limits.h"
#include "engine/Schedule.h"

namespace brellow {

namespace {

// Why the loan's figures cannot be shown; empty when they can.
std::string ScheduleProblem(const CTamsicDoc& doc) {
    if (!ScheduleFitsCalendar(doc)) return "The last payment would fall after 12/31/9999.";
    if (!ScheduleWithinCentLimit(doc))
        return "The schedule's amounts would exceed what can be shown to the cent.";
    return {};
}

std::optional<double> Difference(double value, double base) {
    const double difference = value - base;
    if (!WithinCentLimit(difference)) return std::nullopt;
    return difference;
}

}  // namespace

LoanComparison CompareLoans(std::span<const CTamsicDoc> docs) {
    LoanComparison comparison;
    comparison.loans.reserve(docs.size());
    for (const CTamsicDoc& doc : docs) {
        ComparedLoan loan;
        loan.title = doc.GetTitle();
        loan.terms = doc.GetTerms();
        loan.payment = doc.GetPayment();
        loan.problem = ScheduleProblem(doc);
        if (loan.problem.empty()) {
            loan.payoff = ComputePayoffFigures(doc);
            // Strictly less: of loans with the same interest the first stays the cheapest.
            if (!comparison.cheapest ||
                loan.payoff->totalInterest <
                    comparison.loans[*comparison.cheapest].payoff->totalInterest)
                comparison.cheapest = comparison.loans.size();
        }
        comparison.loans.push_back(std::move(loan));
    }
    if (!comparison.cheapest) return comparison;

    const PayoffFigures cheapest = *comparison.loans[*comparison.cheapest].payoff;
    for (ComparedLoan& loan : comparison.loans) {
        if (!loan.payoff) continue;
        loan.interestVsCheapest = Difference(loan.payoff->totalInterest, cheapest.totalInterest);
        loan.paidVsCheapest = Difference(loan.payoff->totalPaid, cheapest.totalPaid);
        if (!loan.interestVsCheapest || !loan.paidVsCheapest) {
            loan.differenceProblem = "The difference would exceed what can be shown to the cent.";
        }
    }
    return comparison;
}

}  // namespace brellow
