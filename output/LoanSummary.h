#pragma once

// The summary of a loan's terms, shared by the view, the printout and the exports.
// The left column holds amount, rate, periods, payment and (only when it is at least
// 0.002 in magnitude) the additional payment; the right column the two frequency
// names, the balloon flag and (only when it is set) the balloon period. Exports list
// the left column, then the right one.

#include "engine/CTamsicDoc.h"

#include <string>
#include <vector>

namespace brellow {

struct SummaryLine {
    int column = 0;  // 0 left, 1 right
    int row = 0;     // 0-based within its column
    std::string text;
};

// "Loan Amount: $100,000.00", "Interest Rate: 6%", "# of Periods: 360", ...
std::vector<SummaryLine> LoanSummary(const CTamsicDoc& doc);

// Whether an additional payment is listed: at most -0.002 or at least 0.002.
bool IsAdditionalPaymentShown(double additionalPayment) noexcept;

}  // namespace brellow
