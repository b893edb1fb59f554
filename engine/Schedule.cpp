#include "engine/Schedule.h"

#include "engine/Limits.h"

#include <algorithm>
#include <cmath>

namespace brellow {

ScheduleGenerator::ScheduleGenerator(const CTamsicDoc& doc, int year)
    : m_calendar(doc.GetFirstPaymentDate(), doc.GetPaymentFrequency()),
      m_year(year != kAllYears && m_calendar.HasDates() ? year : kAllYears),
      m_length(std::max(doc.GetScheduleLength(), 0)),
      m_balance(doc.GetLoanAmount()),
      m_fullPayment(doc.GetPayment() + doc.GetAdditionalPayment()),
      m_rate(doc.GetPeriodicRate()) {
    if (m_year == kAllYears) {
        m_firstListed = 0;
        m_stop = m_length;
    } else {
        m_stop = std::min<std::int64_t>(m_length, m_calendar.FirstIndexAfterYear(m_year));
        m_firstListed = std::min(m_stop, m_calendar.FirstIndexInYear(m_year));
    }
}

bool ScheduleGenerator::Next(ScheduleRow& row) {
    while (m_index < m_stop) {
        const std::int64_t k = m_index++;
        double interest = m_rate * m_balance;
        double principal = m_fullPayment - interest;
        m_balance = m_balance - principal;
        double payment = m_fullPayment;
        if (k == m_length - 1) {
            // The last row pays whatever is left.
            principal = principal + m_balance;
            m_balance = 0.0;
            payment = interest + principal;
        }
        row.payment = payment;
        row.interest = interest;
        row.principal = principal;
        row.balance = m_balance;
        m_totals.running.Add(row);
        if (k >= m_firstListed) {
            row.period = static_cast<int>(k + 1);
            row.date = m_calendar.DateOf(k);
            if (m_year != kAllYears) m_totals.annual.Add(row);
            return true;
        }
    }
    return false;
}

bool HasYearTabs(const CTamsicDoc& doc) {
    return doc.GetPaymentFrequency() < static_cast<int>(PaymentFrequency::Annually) &&
           doc.GetFirstPaymentDate().HasCalendarDate();
}

int SelectedYear(const CTamsicDoc& doc, int tabIndex) {
    if (tabIndex <= 0 || !HasYearTabs(doc)) return kAllYears;
    const PaymentCalendar calendar(doc.GetFirstPaymentDate(), doc.GetPaymentFrequency());
    if (!calendar.HasDates()) return kAllYears;
    return calendar.FirstYear() + tabIndex - 1;
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

namespace {
// False for NaN and the infinities as well.
bool WithinCentLimit(double amount) noexcept {
    return std::fabs(amount) < kMaxScheduleAmount;
}
}  // namespace

bool ScheduleWithinCentLimit(const CTamsicDoc& doc) {
    if (!WithinCentLimit(doc.GetLoanAmount()) || !WithinCentLimit(doc.GetPayment()) ||
        !WithinCentLimit(doc.GetAdditionalPayment())) {
        return false;
    }
    ScheduleGenerator schedule(doc, kAllYears);
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
