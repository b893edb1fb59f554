#include "engine/Schedule.h"

#include "engine/CTamsicDoc.h"
#include "engine/Limits.h"

#include <algorithm>
#include <cmath>

namespace brellow {
namespace {
constexpr std::int64_t kNoYear = -1;
}  // namespace

ScheduleCheckpoints::ScheduleCheckpoints(const ScheduleBasis& basis) : m_basis(basis) {
    ScheduleGenerator walk(basis, kAllYears);
    m_length = walk.Length();
    const PaymentCalendar& calendar = walk.Calendar();
    std::int64_t nextYear = calendar.HasDates() ? 0 : kNoYear;
    m_states.reserve(static_cast<std::size_t>(m_length / kInterval + 1));
    ScheduleRow row;
    for (std::int64_t k = 0; k < m_length; ++k) {
        const bool yearStarts = k == nextYear;
        if (yearStarts) nextYear = calendar.FirstIndexAfterYear(calendar.YearOf(k));
        if (yearStarts || k % kInterval == 0) m_states.push_back(walk.State());
        walk.Next(row);
    }
}

const ScheduleState* ScheduleCheckpoints::Before(std::int64_t index) const noexcept {
    const auto after = std::upper_bound(
        m_states.begin(), m_states.end(), index,
        [](std::int64_t i, const ScheduleState& state) { return i < state.index; });
    return after == m_states.begin() ? nullptr : &*(after - 1);
}

ScheduleGenerator::ScheduleGenerator(const ScheduleBasis& basis, int year,
                                     const ScheduleCheckpoints* checkpoints)
    : m_calendar(basis.terms.firstPayment, basis.terms.paymentFrequency),
      m_year(year != kAllYears && m_calendar.HasDates() ? year : kAllYears),
      m_fullPayment(basis.payment + basis.terms.additionalPayment),
      m_rate(basis.periodicRate),
      m_checkpoints(checkpoints && checkpoints->Basis() == basis ? checkpoints : nullptr),
      m_balance(basis.terms.loanAmount) {
    m_length = std::max(m_checkpoints ? m_checkpoints->Length() : ScheduleLength(basis), 0);
    if (m_year == kAllYears) {
        m_firstListed = 0;
        m_stop = m_length;
    } else {
        m_stop = std::min<std::int64_t>(m_length, m_calendar.FirstIndexAfterYear(m_year));
        m_firstListed = std::min(m_stop, m_calendar.FirstIndexInYear(m_year));
    }
    if (m_checkpoints) ResumeFrom(m_checkpoints->Before(m_firstListed));
}

ScheduleGenerator::ScheduleGenerator(const CTamsicDoc& doc, int year,
                                     const ScheduleCheckpoints* checkpoints)
    : ScheduleGenerator(doc.GetScheduleBasis(), year, checkpoints) {}

void ScheduleGenerator::ResumeFrom(const ScheduleState* state) noexcept {
    if (state == nullptr || state->index <= m_index) return;
    m_index = state->index;
    m_balance = state->balance;
    m_totals.running = state->running;
}

void ScheduleGenerator::SkipListed(std::int64_t count) {
    const std::int64_t target = std::min(m_stop, std::max(m_index, m_firstListed) + count);
    // Annual totals need every listed row of the year, so only the whole list jumps.
    if (m_checkpoints && !HasAnnualTotals()) ResumeFrom(m_checkpoints->Before(target));
    ScheduleRow row;
    while (m_index < target && Step(row, false)) {
    }
}

bool ScheduleGenerator::Step(ScheduleRow& row, bool dated) noexcept {
    if (m_index >= m_stop) return false;
    const std::int64_t k = m_index++;
    const AmortizationStep step = Amortize(m_balance, m_fullPayment, m_rate);
    m_balance = step.balance;
    row.payment = m_fullPayment;
    row.interest = step.interest;
    row.principal = step.principal;
    if (k == m_length - 1) {
        // The last row pays whatever is left.
        row.principal = step.principal + m_balance;
        m_balance = 0.0;
        row.payment = row.interest + row.principal;
    }
    row.balance = m_balance;
    m_totals.running.Add(row);
    if (k < m_firstListed) return true;
    if (m_year != kAllYears) m_totals.annual.Add(row);
    row.period = static_cast<int>(k + 1);
    if (dated) row.date = m_calendar.DateOf(k);
    return true;
}

bool ScheduleGenerator::Next(ScheduleRow& row) {
    while (Step(row, true)) {
        if (m_index > m_firstListed) return true;
    }
    return false;
}

bool ScheduleHasYears(const CTamsicDoc& doc) {
    return doc.GetPaymentFrequency() < static_cast<int>(PaymentFrequency::Annually) &&
           doc.GetFirstPaymentDate().HasCalendarDate();
}

YearSpan ScheduleYears(const CTamsicDoc& doc) {
    const PaymentCalendar calendar(doc.GetFirstPaymentDate(), doc.GetPaymentFrequency());
    const int length = doc.GetScheduleLength();
    const int first = calendar.FirstYear();
    return {first, length > 1 ? std::max(first, calendar.YearOf(length - 1)) : first};
}

int CountRowsInYear(const CTamsicDoc& doc, int year) {
    return ScheduleGenerator(doc, year).ListedRows();
}

bool ScheduleWithinCentLimit(const CTamsicDoc& doc) {
    if (!WithinCentLimit(doc.GetLoanAmount()) || !WithinCentLimit(doc.GetPayment()) ||
        !WithinCentLimit(doc.GetAdditionalPayment())) {
        return false;
    }
    ScheduleGenerator schedule(doc, kAllYears);
    // Each step leaves |B'| <= |B|(1 + |i|) + |T|, so no balance of n rows exceeds
    // M = (|A| + n|T|)(1 + |i|)^n, no row figure exceeds (1 + |i|)M + |T|, and no running
    // total exceeds n(|T| + |i|M) + (1 + |i|)M. When twice that bound (room for rounding)
    // is within the limit, no figure can leave it, and a long schedule needs no walk.
    const double rate = std::fabs(doc.GetPeriodicRate());
    const double payment = std::fabs(doc.GetPayment() + doc.GetAdditionalPayment());
    const double rows = schedule.Length();
    const double balance =
        (std::fabs(doc.GetLoanAmount()) + rows * payment) * std::pow(1.0 + rate, rows);
    const double bound = rows * (payment + rate * balance) + (1.0 + rate) * balance + payment;
    if (2.0 * bound < kMaxScheduleAmount) return true;
    ScheduleRow row;
    while (schedule.Next(row)) {
        const AmountTotals& running = schedule.Totals().running;
        if (!WithinCentLimit(row.payment) || !WithinCentLimit(row.interest) ||
            !WithinCentLimit(row.principal) || !WithinCentLimit(row.balance) ||
            !WithinCentLimit(running.payment) || !WithinCentLimit(running.interest) ||
            !WithinCentLimit(running.principal)) {
            return false;
        }
    }
    return true;
}

bool ScheduleFitsCalendar(const CTamsicDoc& doc) {
    const OleDateTime first = doc.GetFirstPaymentDate();
    if (first.GetStatus() != OleDateTime::Status::Valid) return true;
    if (!first.HasCalendarDate()) return false;
    const int length = doc.GetScheduleLength();
    if (length <= 1) return true;
    const PaymentCalendar calendar(first, doc.GetPaymentFrequency());
    return calendar.YearOf(length - 1) <= kMaxYear;
}

}  // namespace brellow
