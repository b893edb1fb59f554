#pragma once

// The bounds every check of terms, files and dates uses.
//
// The cent limit: a double holds every whole number of cents up to 2^53, that is
// 90,071,992,547,409.92. A schedule with any row amount or running total of that
// magnitude or more is refused, because from there on two neighbouring cents can be
// the same double and the printed figures are no longer the loan's.
//   100,000.00 at 6 % over 50,000 weekly payments ends near -3.5 × 10^27: refused.
//   999,999,999,999.99 at 20 % over 480 months pays about 8 × 10^12 in all: accepted.

#include <cmath>
#include <cstdint>

namespace brellow {

// Number of periods and balloon period: 0 .. kMaxPeriods.
inline constexpr int kMaxPeriods = 1000000;
// Amounts typed as terms (loan amount, additional payment): magnitude below 10^12.
inline constexpr double kMaxLoanAmount = 1e12;
// Every schedule figure: magnitude below 2^53 cents.
inline constexpr double kMaxScheduleAmount = 90071992547409.92;
// Whether a figure is within that limit; false for NaN and the infinities as well.
inline bool WithinCentLimit(double amount) noexcept {
    return std::fabs(amount) < kMaxScheduleAmount;
}

// The calendar: 1 January 100 to 31 December 9999, as days since 30 December 1899.
inline constexpr std::int64_t kMinDay = -657434;
inline constexpr std::int64_t kMaxDay = 2958465;
inline constexpr int kMinYear = 100;
inline constexpr int kMaxYear = 9999;

}  // namespace brellow
