#pragma once

// Loans for tests, named with designated initialisers in the order of the terms:
//   Loan({.amount = 1200, .periods = 3, .rate = 12})
// A field left out takes the worked mortgage's value: 100,000.00 over 360 months at 6 %
// from 1 January 2003, paid and compounded monthly, no balloon, no additional payment.
// The payment and periodic rate are computed, as a view does on opening.

#include "engine/CTamsicDoc.h"

namespace brellow::test {

struct LoanFields {
    double amount = 100000.0;
    int periods = 360;
    double rate = 6.0;
    OleDateTime first = OleDateTime::FromDate(2003, 1, 1);
    int payment = 2;   // payment frequency code
    int compound = 3;  // compound frequency code
    int balloon = 0;   // the balloon payoff period; 0: no balloon
    double extra = 0.0;

    LoanTerms Terms() const {
        return {amount, periods, rate, first, payment, compound, balloon != 0, balloon, extra};
    }
};

inline CTamsicDoc Loan(const LoanFields& fields = {}) {
    CTamsicDoc doc(fields.first);
    doc.SetTerms(fields.Terms());
    doc.ComputePayment();
    return doc;
}

// The loan with a title, as an open document has one.
inline CTamsicDoc Loan(const char* title, const LoanFields& fields) {
    CTamsicDoc doc = Loan(fields);
    doc.SetTitle(title);
    return doc;
}

}  // namespace brellow::test
