#pragma once

// The loans the benchmarks measure: the long weekly loan (400,000 payments of a
// 900,000,000,000.00 loan at 0.01 % from 1 January 2026), the 30-year monthly mortgage of
// the tests (100,000.00 at 6 % from January 2003) and the longest schedule a file may hold,
// 1,000,000 weekly payments of the long loan's amount and rate, which the calendar has no
// room for, so it has no first payment date.

#include "tests/support/TestLoans.h"

namespace bench {

enum Loan { kWeekly400k, kMonthly360, kWeekly1M };

inline brellow::CTamsicDoc MakeLoan(Loan loan) {
    if (loan == kMonthly360) return brellow::test::Loan();
    const bool longest = loan == kWeekly1M;
    return brellow::test::Loan(
        {.amount = 900000000000.0,
         .periods = longest ? 1000000 : 400000,
         .rate = 0.01,
         .first = longest ? brellow::OleDateTime(0.0, brellow::OleDateTime::Status::Null)
                          : brellow::OleDateTime::FromDate(2026, 1, 1),
         .payment = static_cast<int>(brellow::PaymentFrequency::Weekly)});
}

}  // namespace bench
