#pragma once

// The nine values a person enters for one loan, and the two frequency vocabularies.
//
// The same word has a different code in the two vocabularies: "Weekly" is payment
// code 0 but compound code 1, so every conversion names the vocabulary it uses.
// Codes are stored as plain ints because a file may carry a code that has no name;
// such a code prints as "Unknown" and computes as Monthly.

#include "engine/OleDateTime.h"

#include <string>
#include <string_view>

namespace brellow {

enum class PaymentFrequency : int {
    Weekly = 0,
    BiWeekly = 1,
    Monthly = 2,
    BiMonthly = 3,
    Quarterly = 4,
    SemiAnnually = 5,
    Annually = 6,
};

enum class CompoundFrequency : int {
    Daily = 0,
    Weekly = 1,
    BiWeekly = 2,
    Monthly = 3,
    BiMonthly = 4,
    Quarterly = 5,
    SemiAnnually = 6,
    Annually = 7,
    Continuous = 8,
};

inline constexpr int kPaymentFrequencyCount = 7;
inline constexpr int kCompoundFrequencyCount = 9;

// The code whose name equals the text exactly (case-sensitive); Monthly (2) otherwise.
int PaymentFrequencyFromName(std::string_view name) noexcept;
// The code whose name equals the text exactly (case-sensitive); Monthly (3) otherwise.
// "Continuously" is not a name here and gives 3.
int CompoundFrequencyFromName(std::string_view name) noexcept;
// The name of codes 0..6, "Unknown" for any other code.
std::string PaymentFrequencyName(int code);
// The name of codes 0..8, "Unknown" for any other code.
std::string CompoundFrequencyName(int code);

struct LoanTerms {
    double loanAmount = 0.0;
    int numPeriods = 0;
    double interestRate = 0.0;  // annual, in percent
    OleDateTime firstPayment;
    int paymentFrequency = 0;
    int compoundFrequency = 0;
    bool balloon = false;
    int balloonPeriod = 0;
    double additionalPayment = 0.0;

    friend bool operator==(const LoanTerms&, const LoanTerms&) = default;
};

}  // namespace brellow
