#include "engine/Amortization.h"

#include <cmath>

namespace brellow {

double AnnuityFactor(double periodicRate, double periods) noexcept {
    if (periodicRate == 0.0) return periods;
    return (1.0 - 1.0 / std::pow(1.0 + periodicRate, periods)) / periodicRate;
}

namespace {
int PaymentCount(const LoanTerms& terms) noexcept {
    return terms.balloon ? terms.balloonPeriod : terms.numPeriods;
}
}  // namespace

int ScheduleLength(const ScheduleBasis& basis) noexcept {
    const int count = PaymentCount(basis.terms);
    const double extra = basis.terms.additionalPayment;
    if (extra > -0.002 && extra < 0.002) return count;
    if (count <= 0) return count;
    const double fullPayment = basis.payment + extra;
    double balance = basis.terms.loanAmount;
    for (int k = 1; k <= count; ++k) {
        balance = Amortize(balance, fullPayment, basis.periodicRate).balance;
        if (balance <= 0.0) return k;
    }
    return count;
}

double TotalInterest(const ScheduleBasis& basis) noexcept {
    const int count = PaymentCount(basis.terms);
    const double fullPayment = basis.payment + basis.terms.additionalPayment;
    double balance = basis.terms.loanAmount;
    double total = 0.0;
    for (int k = 0; k < count; ++k) {
        const AmortizationStep step = Amortize(balance, fullPayment, basis.periodicRate);
        balance = step.balance;
        total = total + step.interest;
        if (balance <= 0.0) break;
    }
    return total;
}

}  // namespace brellow
