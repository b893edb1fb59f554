#pragma once

// The two digits of each number 0..99, for writers that turn millions of dates and amounts
// into text: a pair at a time halves the divisions.

namespace brellow {

inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the two digits of `value` (0..99) at `to` and returns the end.
inline char* PutDigitPair(char* to, unsigned value) noexcept {
    to[0] = kDigitPairs[2 * value];
    to[1] = kDigitPairs[2 * value + 1];
    return to + 2;
}

}  // namespace brellow
