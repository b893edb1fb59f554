#pragma once

// One loan: the terms a person entered, the two values computed from them, one step
// of undo and redo, and the bookkeeping of an open document (modified flag, path,
// title). No schedule is stored; every presenter regenerates the rows (Schedule.h).
//
// Setters store their argument unchanged except SetLoanAmount, which rounds to cents
// (1234.567 -> 1234.57, -1234.567 -> -1234.57, Cents.h). They neither recompute nor mark the
// document modified: the caller stores every changed term, then calls ComputePayment,
// then SetModifiedFlag.
//
// ComputePayment converts the annual rate R (percent), compounded m times a year, to
// the rate per payment period i = (1 + R/100/m)^k - 1, where k is the number of
// compounding periods in one payment period, and prices an ordinary annuity:
// payment = A / ((1 - (1 + i)^-n) / i), rounded to cents.
//   100,000.00 at 6 % paid and compounded monthly over 360 periods: 599.55.
//   10,000.00 at 12 %, paid monthly, compounded quarterly, 36 periods:
//   i = 1.03^(1/3) - 1 = 0.00990163..., payment 331.58.
// Compound code 8 is continuous compounding, i = e^(R/100/p) - 1 with p payments a
// year. A rate of exactly 0 repays A / n per period (12,000.00 over 12: 1,000.00).
// When the payment is not a finite number (no periods) it is 0.00 and the last row
// of the schedule carries the whole amount.

#include "engine/Amortization.h"
#include "engine/LoanTerms.h"
#include "engine/OleDateTime.h"

#include <span>
#include <string>

namespace brellow {

// First day of the month after `now`, at 00:00:00; `now` itself on the first of a
// month. A new document's first payment date.
OleDateTime DefaultFirstPaymentDate(const OleDateTime& now);

// Payments a year of a payment code: 52, 26, 12, 6, 4, 2, 1 for codes 0..6; a code
// without a name counts as Monthly (12), as its rate does.
int PaymentsPerYear(int paymentFrequency) noexcept;

class CTamsicDoc {
public:
    // `now` is the moment the document is created; tests pass a fixed one.
    explicit CTamsicDoc(const OleDateTime& now = OleDateTime::CurrentLocal());

    double GetLoanAmount() const noexcept { return m_dLoanAmount; }
    int GetNumPeriods() const noexcept { return m_nNumPeriods; }
    double GetInterestRate() const noexcept { return m_dInterestRate; }
    double GetPayment() const noexcept { return m_dPayment; }
    OleDateTime GetFirstPaymentDate() const noexcept { return m_dtFirstPayment; }
    int GetPaymentFrequency() const noexcept { return m_nPaymentFrequency; }
    int GetCompoundFrequency() const noexcept { return m_nCompoundFrequency; }
    double GetPeriodicRate() const noexcept { return m_dPeriodicRate; }
    bool GetBalloon() const noexcept { return m_bBalloon; }
    int GetBalloonPeriod() const noexcept { return m_nBalloonPeriod; }
    double GetAdditionalPayment() const noexcept { return m_dAdditionalPayment; }

    void SetLoanAmount(double amount) noexcept;
    void SetNumPeriods(int periods) noexcept { m_nNumPeriods = periods; }
    void SetInterestRate(double rate) noexcept { m_dInterestRate = rate; }
    void SetFirstPaymentDate(const OleDateTime& date) noexcept { m_dtFirstPayment = date; }
    void SetPaymentFrequency(int code) noexcept { m_nPaymentFrequency = code; }
    void SetCompoundFrequency(int code) noexcept { m_nCompoundFrequency = code; }
    void SetBalloon(bool balloon) noexcept { m_bBalloon = balloon; }
    void SetBalloonPeriod(int period) noexcept { m_nBalloonPeriod = period; }
    void SetAdditionalPayment(double payment) noexcept { m_dAdditionalPayment = payment; }

    // The nine entered values as they are stored now.
    LoanTerms GetTerms() const noexcept;
    // Stores all nine values through the setters (the amount is rounded to cents).
    void SetTerms(const LoanTerms& terms) noexcept;
    // The terms as SetTerms would store them.
    static LoanTerms StoredTerms(const LoanTerms& typed);

    // Writes the periodic rate and the payment from the current terms.
    void ComputePayment() noexcept;
    // What the schedule is computed from: the terms, the payment and the periodic rate.
    ScheduleBasis GetScheduleBasis() const noexcept;
    // ScheduleLength and TotalInterest (Amortization.h) of this loan.
    int GetScheduleLength() const noexcept;
    double GetTotalInterest() const noexcept;

    // One step of history. Entries keep their content after use; the flags say
    // whether they may be used.
    void SaveUndoTerms(double amount, double rate, int periods, const OleDateTime& firstPayment,
                       int paymentFrequency, int compoundFrequency, bool balloon, int balloonPeriod,
                       double additionalPayment) noexcept;
    void SaveRedoTerms(double amount, double rate, int periods, const OleDateTime& firstPayment,
                       int paymentFrequency, int compoundFrequency, bool balloon, int balloonPeriod,
                       double additionalPayment) noexcept;
    // Copy the entry into the current terms unchanged (the amount is not rounded again).
    void RestoreUndoTerms() noexcept { RestoreTerms(m_undoTerms); }
    void RestoreRedoTerms() noexcept { RestoreTerms(m_redoTerms); }
    const LoanTerms& GetUndoTerms() const noexcept { return m_undoTerms; }
    const LoanTerms& GetRedoTerms() const noexcept { return m_redoTerms; }

    bool m_bUndoAvailable = false;
    bool m_bRedoAvailable = false;
    // Set for a new document until its parameters dialog has been shown once;
    // cleared when the document is read from a file.
    bool m_bParametersPending = true;

    bool IsModified() const noexcept { return m_bModified; }
    void SetModifiedFlag(bool modified = true) noexcept { m_bModified = modified; }
    const std::string& GetPathName() const noexcept { return m_pathName; }
    void SetPathName(const std::string& path) { m_pathName = path; }
    const std::string& GetTitle() const noexcept { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }

    // Stores all nine values exactly as given (terms already stored once, or read back).
    void RestoreTerms(const LoanTerms& terms) noexcept;

private:
    double m_dLoanAmount = 0.0;
    int m_nNumPeriods = 0;
    double m_dInterestRate = 0.0;
    double m_dPayment = 0.0;
    OleDateTime m_dtFirstPayment;
    int m_nPaymentFrequency = static_cast<int>(PaymentFrequency::Monthly);
    int m_nCompoundFrequency = static_cast<int>(CompoundFrequency::Monthly);
    double m_dPeriodicRate = 0.0;
    bool m_bBalloon = false;
    int m_nBalloonPeriod = 0;
    double m_dAdditionalPayment = 0.0;
    LoanTerms m_undoTerms;
    LoanTerms m_redoTerms;

    bool m_bModified = false;
    std::string m_pathName;
    std::string m_title;

    // Reading a file stores the payment as it was saved, which no setter may do.
    friend std::string LoadLoanRecord(std::span<const unsigned char> bytes, CTamsicDoc& doc);
};

}  // namespace brellow
