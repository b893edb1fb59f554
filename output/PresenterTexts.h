#pragma once

// The words every presenter of a schedule shows: the table's column heads and the
// labels of its two totals lines. The view and the writers take them from here, so a
// copied or exported table reads exactly as the screen does. The frequency names are
// LoanTerms.h's PaymentFrequencyName and CompoundFrequencyName.

#include <array>
#include <string_view>

namespace brellow {

// Left to right: the period number, its date, then the four amounts of a row.
inline constexpr std::array<std::string_view, 6> kColumnHeads = {
    "Period", "Date", "Payment", "Interest", "Principal", "Balance"};

// Sums of the rows listed for one selected year; written only when a year is selected.
inline constexpr std::string_view kAnnualTotalsLabel = "Annual Totals:";
// Sums of every row from the first payment on.
inline constexpr std::string_view kRunningTotalsLabel = "Running Totals:";

}  // namespace brellow
