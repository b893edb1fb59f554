#pragma once

// The dates of a loan's payments, counted from the first payment date.
//
// Weekly and biweekly payments fall 7 and 14 days apart and keep the first payment's
// time of day. Month-based payments (monthly, bimonthly, quarterly, half-yearly,
// yearly) fall on the first payment's day of month, k steps later, clamped to the last
// day of a shorter month, at 00:00:00 after the first row. Counting every date from
// the first one, rather than from the row before, keeps the day of month:
//   first payment 31 January 2024, monthly: 31 Jan, 29 Feb, 31 Mar, 30 Apr, 31 May...
// A payment code without a name leaves every date equal to the first one.
// A date that would fall outside 1 January 100 .. 31 December 9999 is Invalid, and so
// is every date of a schedule whose first date is not valid.

#include "engine/OleDateTime.h"

#include <cstdint>

namespace brellow {

class PaymentCalendar {
public:
    PaymentCalendar(const OleDateTime& firstPayment, int paymentFrequency) noexcept;

    // Whether the dates have calendar years at all (a valid first payment date).
    bool HasDates() const noexcept { return m_hasDates; }
    // Date of the payment with 0-based index k (k >= 0).
    OleDateTime DateOf(std::int64_t index) const noexcept;
    // Calendar year of payment k; 0 when HasDates() is false.
    int YearOf(std::int64_t index) const noexcept;
    int FirstYear() const noexcept { return m_firstYear; }

    // The first index whose payment falls in a year after `year`; 0 without dates.
    // Lets a presenter stop at the end of a year without a calendar test per row.
    std::int64_t FirstIndexAfterYear(int year) const noexcept;
    // The first index whose payment falls in `year` or later; 0 without dates.
    std::int64_t FirstIndexInYear(int year) const noexcept;

private:
    enum class Step { None, Days, Months };

    OleDateTime m_first;
    bool m_hasDates = false;
    Step m_step = Step::None;
    int m_stepSize = 0;  // days or months
    DayAndSecond m_firstMoment;
    int m_firstYear = 0;
    int m_firstMonth = 0;  // 1..12
    int m_firstDay = 0;    // 1..31
};

}  // namespace brellow
