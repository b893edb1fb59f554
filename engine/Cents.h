#pragma once

// Rounding money to whole cents, half away from zero: cents = trunc(value × 100 + 0.5)
// for values of zero and above, trunc(value × 100 − 0.5) below zero, so the rule for
// negative amounts mirrors the one for positive ones. A whole-cent amount comes back
// unchanged and rounding twice changes nothing:
//   1234.567 -> 1234.57, -1234.567 -> -1234.57, -1000.00 -> -1000.00, -1.004 -> -1.00.
//
// The cents are a whole number held in a double. For every amount whose cents fit a
// 64-bit integer this is exactly the result of converting to int64 and back, and it
// cannot overflow for the larger ones a file may carry.

#include <cmath>

namespace brellow {

// Whole cents of `cents`, a count of cents with a fraction: the rounding above.
inline double RoundCents(double cents) noexcept {
    return std::trunc(cents < 0.0 ? cents - 0.5 : cents + 0.5);
}

inline double RoundToCents(double value) noexcept {
    return RoundCents(value * 100.0) * 0.01;
}

}  // namespace brellow
