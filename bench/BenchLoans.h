#pragma once

// The two loans the benchmarks measure: the long weekly loan (400,000 payments of a
// 900,000,000,000.00 loan at 0.01 % from 1 January 2026) and the 30-year monthly mortgage of
// the tests (100,000.00 at 6 % from January 2003).

#include "tests/support/TestLoans.h"

namespace bench {

enum Loan { kWeekly400k, kMonthly360 };

inline brellow::CTamsicDoc MakeLoan(Loan loan) {
    if (loan == kMonthly360) return brellow::test::Loan();
    return brellow::test::Loan({.amount = 900000000000.0,
                                .periods = 400000,
                                .rate = 0.01,
                                .first = brellow::OleDateTime::FromDate(2026, 1, 1),
                                .payment = static_cast<int>(brellow::PaymentFrequency::Weekly)});
}

}  // namespace bench
