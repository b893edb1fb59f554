#include "engine/Solve.h"

#include "engine/CTamsicDoc.h"
#include "engine/Cents.h"
#include "engine/Limits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace brellow {
namespace {

// The rate is solved in millionths of a percent.
constexpr double kRateUnitsPerPercent = 1e6;
constexpr std::int64_t kLowestRate = -99 * 1'000'000LL;
constexpr std::int64_t kHighestRate = 1000 * 1'000'000LL;
// Amounts below 10^12 in magnitude, in cents.
constexpr std::int64_t kMaxAmountCents = 99'999'999'999'999;

double AmountOfCents(std::int64_t cents) {
    return static_cast<double>(cents) * 0.01;
}

double RateOfUnits(std::int64_t units) {
    return static_cast<double>(units) / kRateUnitsPerPercent;
}

ScheduleBasis BasisOf(const LoanTerms& terms) {
    CTamsicDoc doc(terms.firstPayment);
    doc.RestoreTerms(terms);
    doc.ComputePayment();
    return doc.GetScheduleBasis();
}

double PaymentOf(const LoanTerms& terms) {
    return BasisOf(terms).payment;
}

// Payments are compared in whole cents: the computed payment is cents × 0.01, which
// need not be the double that the same decimal text reads as (599.55).
double CentsOf(double payment) {
    return RoundCents(payment * 100.0);
}

// The first of low..high at which `holds` is true, for a `holds` that is false up to
// some point and true from there on; high + 1 when it is true nowhere.
template <typename Predicate>
std::int64_t FirstWhere(std::int64_t low, std::int64_t high, Predicate holds) {
    std::int64_t end = high + 1;
    while (low < end) {
        const std::int64_t middle = low + (end - low) / 2;
        if (holds(middle)) {
            end = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t step) {
    const std::int64_t quotient = value / step;
    return quotient * step > value ? quotient - 1 : quotient;
}

// Of low..high (low <= high), the number with the most trailing decimal zeros, and of
// those the one nearest the middle.
std::int64_t Roundest(std::int64_t low, std::int64_t high) {
    const std::int64_t middle = low + (high - low) / 2;
    std::int64_t best = middle;
    for (std::int64_t step = 10; step <= 1'000'000'000'000'000'000LL / 10; step *= 10) {
        const std::int64_t below = FloorDiv(middle, step) * step;
        const std::int64_t above = below + step;
        const bool belowFits = below >= low;
        const bool aboveFits = above <= high;
        if (!belowFits && !aboveFits) break;
        best = !aboveFits || (belowFits && middle - below <= above - middle) ? below : above;
    }
    return best;
}

// Rate units around the end of a bisection that are tried one by one.
constexpr std::int64_t kJitterUnits = 64;

int TrailingZeros(std::int64_t value) {
    int zeros = 0;
    for (; value != 0 && value % 10 == 0 && zeros < 18; value /= 10) ++zeros;
    return value == 0 ? 19 : zeros;
}

// Of low..high, the number with the most trailing zeros at which `gives` holds (the lowest
// among equals); none when it holds nowhere.
template <typename Predicate>
std::optional<std::int64_t> RoundestGiving(std::int64_t low, std::int64_t high, Predicate gives) {
    std::optional<std::int64_t> best;
    for (std::int64_t value = low; value <= high; ++value) {
        if (gives(value) && (!best || TrailingZeros(value) > TrailingZeros(*best))) best = value;
    }
    return best;
}

std::variant<SolvedLoan, SolveFailure> SolveAmount(LoanTerms terms, double payment) {
    const double wanted = CentsOf(payment);
    const auto paymentOf = [&](std::int64_t cents) {
        terms.loanAmount = AmountOfCents(cents);
        return CentsOf(PaymentOf(terms));
    };
    // The payment grows with the amount.
    const std::int64_t low = FirstWhere(-kMaxAmountCents, kMaxAmountCents,
                                        [&](std::int64_t c) { return paymentOf(c) >= wanted; });
    const std::int64_t high =
        FirstWhere(low, kMaxAmountCents, [&](std::int64_t c) { return paymentOf(c) > wanted; }) - 1;
    if (low > high) {
        return SolveFailure{
            "No loan amount in whole cents between -999,999,999,999.99 and 999,999,999,999.99 "
            "gives this payment with these terms."};
    }
    terms.loanAmount = AmountOfCents(Roundest(low, high));
    return SolvedLoan{terms, PaymentOf(terms)};
}

std::variant<SolvedLoan, SolveFailure> SolveRate(LoanTerms terms, double payment) {
    // The payment grows with the rate for a positive amount and falls for a negative one.
    const double sign = terms.loanAmount < 0.0 ? -1.0 : 1.0;
    const auto signedPaymentOf = [&](std::int64_t units) {
        terms.interestRate = RateOfUnits(units);
        return sign * CentsOf(PaymentOf(terms));
    };
    const double wanted = sign * CentsOf(payment);
    const std::int64_t low = FirstWhere(kLowestRate, kHighestRate, [&](std::int64_t units) {
        return signedPaymentOf(units) >= wanted;
    });
    const std::int64_t high =
        FirstWhere(low, kHighestRate,
                   [&](std::int64_t units) { return signedPaymentOf(units) > wanted; }) -
        1;
    std::int64_t units = Roundest(low, std::max(low, high));
    if (low > high || signedPaymentOf(units) != wanted) {
        // Near a rate of 0 the annuity factor loses digits to cancellation, so the payment
        // of a large amount over few periods jitters by dollars from one unit to the next
        // and the bisection can end beside the rates that give the payment: those around
        // its end are tried one by one.
        const auto near =
            RoundestGiving(std::max(kLowestRate, low - kJitterUnits),
                           std::min(kHighestRate, std::max(low, high) + kJitterUnits),
                           [&](std::int64_t u) { return signedPaymentOf(u) == wanted; });
        if (!near && low > kLowestRate && low <= kHighestRate) {
            return SolveFailure{
                "No interest rate with six decimals gives exactly this payment: from one such "
                "rate to the next the payment changes by more than a cent."};
        }
        if (!near) {
            return SolveFailure{"No interest rate between -99% and 1000% gives this payment."};
        }
        units = *near;
    }
    terms.interestRate = RateOfUnits(units);
    return SolvedLoan{terms, PaymentOf(terms)};
}

// The whole cents of an amount as "1234.56", for messages.
std::string CentsText(double cents) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", cents * 0.01);
    return text;
}

// Not a search over rounded payments, which whole ranges of counts share: the count comes
// from the exact payment (NPER), and the rounded payment only picks between its neighbours.
std::variant<SolvedLoan, SolveFailure> SolvePeriods(LoanTerms terms, double payment) {
    if (terms.loanAmount == 0.0) {
        return SolveFailure{
            "A loan amount of 0 needs no payments: there is no number of periods to solve for."};
    }
    const double sign = terms.loanAmount < 0.0 ? -1.0 : 1.0;
    const double wanted = CentsOf(payment);
    if (!(sign * wanted > 0.0)) {
        return SolveFailure{
            "A payment of 0 or of the other sign than the loan amount never pays the loan off."};
    }
    terms.numPeriods = 1;
    const double rate = BasisOf(terms).periodicRate;
    const double interest = RoundCents(terms.loanAmount * rate * 100.0);
    if (!(sign * wanted > sign * interest)) {
        return SolveFailure{"The payment does not exceed the first period's interest of " +
                            CentsText(interest) + ", so the loan is never paid off."};
    }
    // amount / payment is positive whatever the loan's sign.
    const double share = terms.loanAmount * 100.0 / wanted;
    const double exact = rate == 0.0 ? share : -std::log1p(-share * rate) / std::log1p(rate);
    if (!(exact <= kMaxPeriods)) {
        return SolveFailure{"No number of periods up to " + std::to_string(kMaxPeriods) +
                            " pays off the loan with this payment."};
    }
    const int below = std::max(1, static_cast<int>(std::floor(exact)));
    const int above = std::max(1, static_cast<int>(std::ceil(exact)));
    const bool belowNearer = exact - below < above - exact;
    const int nearer = belowNearer ? below : above;
    const int farther = belowNearer ? above : below;
    const auto paysWanted = [&](int periods) {
        LoanTerms tried = terms;
        tried.numPeriods = periods;
        return CentsOf(PaymentOf(tried)) == wanted;
    };
    // Where neither neighbour gives the payment, the count rounded up pays the loan off.
    terms.numPeriods = paysWanted(nearer) ? nearer : paysWanted(farther) ? farther : above;
    return SolvedLoan{terms, PaymentOf(terms)};
}

}  // namespace

std::variant<SolvedLoan, SolveFailure> SolveLoan(const LoanTerms& terms, double payment,
                                                 SolveFor missing) {
    switch (missing) {
        case SolveFor::Amount:
            return SolveAmount(terms, payment);
        case SolveFor::Periods:
            return SolvePeriods(terms, payment);
        case SolveFor::Rate:
            return SolveRate(terms, payment);
        case SolveFor::Payment:
            break;
    }
    return SolvedLoan{terms, PaymentOf(terms)};
}

}  // namespace brellow
