#pragma once

// Rounding money to whole cents: cents = trunc(value × 100 + 0.5), value = cents × 0.01.
// Halves round up for positive amounts and toward zero for negative ones: -1.007 gives
// trunc(-100.7 + 0.5) = -100 cents, that is -1.00.
//
// The cents are a whole number held in a double. For every amount whose cents fit a
// 64-bit integer this is exactly the result of converting to int64 and back, and it
// cannot overflow for the larger ones a file may carry.

#include <cmath>

namespace brellow {

inline double RoundToCents(double value) noexcept {
    return std::trunc(value * 100.0 + 0.5) * 0.01;
}

}  // namespace brellow
