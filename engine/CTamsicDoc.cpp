#include "engine/CTamsicDoc.h"

#include "engine/Amortization.h"
#include "engine/Cents.h"

#include <cmath>

namespace brellow {
namespace {

// Compounding periods per year, by compound code 0..7. A year has 360 days here.
constexpr int kCompoundsPerYear[8] = {360, 52, 26, 12, 6, 4, 2, 1};

// Payments per year, by payment code 0..6: the rate of continuous compounding.
constexpr int kPaymentsPerYear[7] = {52, 26, 12, 6, 4, 2, 1};

// Compounding periods in one payment period [payment code][compound code]. A month is
// 30 days and 4 weeks, a quarter 13 weeks but 6 biweekly periods: these are the
// values used, not ones derived from the periods per year.
constexpr double kCompoundsPerPayment[7][8] = {
    {7, 1, 0.5, 0.25, 0.125, 1.0 / 13.0, 1.0 / 26.0, 1.0 / 52.0},
    {14, 2, 1, 0.5, 0.25, 1.0 / 6.0, 1.0 / 13.0, 1.0 / 26.0},
    {30, 4, 2, 1, 0.5, 1.0 / 3.0, 1.0 / 6.0, 1.0 / 12.0},
    {60, 8, 4, 2, 1, 2.0 / 3.0, 1.0 / 3.0, 1.0 / 6.0},
    {90, 13, 6, 3, 1.5, 1, 0.5, 0.25},
    {180, 26, 13, 6, 3, 2, 1, 0.5},
    {360, 52, 26, 12, 6, 4, 2, 1},
};

constexpr int kContinuous = static_cast<int>(CompoundFrequency::Continuous);

// Codes a file may carry without a name compute as Monthly, each on its own.
int PaymentCodeForRate(int code) {
    return code >= 0 && code < kPaymentFrequencyCount ? code
                                                      : static_cast<int>(PaymentFrequency::Monthly);
}
int CompoundCodeForRate(int code) {
    return code >= 0 && code < kCompoundFrequencyCount
               ? code
               : static_cast<int>(CompoundFrequency::Monthly);
}

}  // namespace

OleDateTime DefaultFirstPaymentDate(const OleDateTime& now) {
    const auto civil = ToCivil(now);
    if (!civil || civil->day == 1) return now;
    const bool december = civil->month == 12;
    return OleDateTime::FromDate(december ? civil->year + 1 : civil->year,
                                 december ? 1 : civil->month + 1, 1);
}

int PaymentsPerYear(int paymentFrequency) noexcept {
    return kPaymentsPerYear[PaymentCodeForRate(paymentFrequency)];
}

CTamsicDoc::CTamsicDoc(const OleDateTime& now) : m_dtFirstPayment(DefaultFirstPaymentDate(now)) {}

void CTamsicDoc::SetLoanAmount(double amount) noexcept {
    m_dLoanAmount = RoundToCents(amount);
}

LoanTerms CTamsicDoc::GetTerms() const noexcept {
    return {m_dLoanAmount,    m_nNumPeriods,       m_dInterestRate,
            m_dtFirstPayment, m_nPaymentFrequency, m_nCompoundFrequency,
            m_bBalloon,       m_nBalloonPeriod,    m_dAdditionalPayment};
}

void CTamsicDoc::SetTerms(const LoanTerms& terms) noexcept {
    SetLoanAmount(terms.loanAmount);
    SetInterestRate(terms.interestRate);
    SetNumPeriods(terms.numPeriods);
    SetFirstPaymentDate(terms.firstPayment);
    SetPaymentFrequency(terms.paymentFrequency);
    SetCompoundFrequency(terms.compoundFrequency);
    SetBalloon(terms.balloon);
    SetBalloonPeriod(terms.balloonPeriod);
    SetAdditionalPayment(terms.additionalPayment);
}

LoanTerms CTamsicDoc::StoredTerms(const LoanTerms& typed) {
    CTamsicDoc doc(typed.firstPayment);
    doc.SetTerms(typed);
    return doc.GetTerms();
}

void CTamsicDoc::RestoreTerms(const LoanTerms& terms) noexcept {
    m_dLoanAmount = terms.loanAmount;
    m_dInterestRate = terms.interestRate;
    m_nNumPeriods = terms.numPeriods;
    m_dtFirstPayment = terms.firstPayment;
    m_nPaymentFrequency = terms.paymentFrequency;
    m_nCompoundFrequency = terms.compoundFrequency;
    m_bBalloon = terms.balloon;
    m_nBalloonPeriod = terms.balloonPeriod;
    m_dAdditionalPayment = terms.additionalPayment;
}

void CTamsicDoc::ComputePayment() noexcept {
    const int p = PaymentCodeForRate(m_nPaymentFrequency);
    const int q = CompoundCodeForRate(m_nCompoundFrequency);
    const double yearly = m_dInterestRate * 0.01;
    const double rate =
        q == kContinuous
            ? std::expm1(yearly / kPaymentsPerYear[p])
            : std::pow(1.0 + yearly / kCompoundsPerYear[q], kCompoundsPerPayment[p][q]) - 1.0;
    m_dPeriodicRate = rate;

    const double cents = m_dLoanAmount / AnnuityFactor(rate, m_nNumPeriods) * 100.0;
    m_dPayment = std::isfinite(cents) ? RoundCents(cents) * 0.01 : 0.0;
}

ScheduleBasis CTamsicDoc::GetScheduleBasis() const noexcept {
    return {GetTerms(), m_dPayment, m_dPeriodicRate};
}

int CTamsicDoc::GetScheduleLength() const noexcept {
    return ScheduleLength(GetScheduleBasis());
}

double CTamsicDoc::GetTotalInterest() const noexcept {
    return TotalInterest(GetScheduleBasis());
}

void CTamsicDoc::SaveUndoTerms(double amount, double rate, int periods,
                               const OleDateTime& firstPayment, int paymentFrequency,
                               int compoundFrequency, bool balloon, int balloonPeriod,
                               double additionalPayment) noexcept {
    m_undoTerms = {amount,       periods,          rate,
                   firstPayment, paymentFrequency, compoundFrequency,
                   balloon,      balloonPeriod,    additionalPayment};
}

void CTamsicDoc::SaveRedoTerms(double amount, double rate, int periods,
                               const OleDateTime& firstPayment, int paymentFrequency,
                               int compoundFrequency, bool balloon, int balloonPeriod,
                               double additionalPayment) noexcept {
    m_redoTerms = {amount,       periods,          rate,
                   firstPayment, paymentFrequency, compoundFrequency,
                   balloon,      balloonPeriod,    additionalPayment};
}

}  // namespace brellow
