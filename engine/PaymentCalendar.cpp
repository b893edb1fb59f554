#include "engine/PaymentCalendar.h"

#include "engine/Limits.h"
#include "engine/LoanTerms.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

namespace brellow {
namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
// Years far outside the calendar are clamped before any date arithmetic.
constexpr int kYearLimit = 30000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Smallest k >= 0 with start + step × k >= target (step > 0).
std::int64_t FirstStepReaching(std::int64_t start, std::int64_t step, std::int64_t target) {
    if (target <= start) return 0;
    return (target - start + step - 1) / step;
}

}  // namespace

PaymentCalendar::PaymentCalendar(const OleDateTime& firstPayment, int paymentFrequency) noexcept
    : m_first(firstPayment) {
    const auto moment = ToDayAndSecond(firstPayment);
    m_hasDates = moment.has_value();
    if (m_hasDates) {
        m_firstMoment = *moment;
        const CivilDateTime civil = CivilFromDay(moment->day);
        m_firstYear = civil.year;
        m_firstMonth = civil.month;
        m_firstDay = civil.day;
    }
    // Weekly and biweekly step in days; the others in months (a year is 12 months).
    constexpr std::pair<Step, int> kSteps[kPaymentFrequencyCount] = {
        {Step::Days, 7},   {Step::Days, 14},  {Step::Months, 1},  {Step::Months, 2},
        {Step::Months, 3}, {Step::Months, 6}, {Step::Months, 12},
    };
    if (paymentFrequency >= 0 && paymentFrequency < kPaymentFrequencyCount) {
        std::tie(m_step, m_stepSize) = kSteps[paymentFrequency];
    }
}

OleDateTime PaymentCalendar::DateOf(std::int64_t index) const noexcept {
    if (!m_hasDates) {
        // A valid status with a value outside the calendar has no date either.
        return m_first.GetStatus() == OleDateTime::Status::Valid
                   ? OleDateTime(0.0, OleDateTime::Status::Invalid)
                   : m_first;
    }
    if (index == 0 || m_step == Step::None) return m_first;
    if (m_step == Step::Days) {
        return FromDayAndSecond({m_firstMoment.day + m_stepSize * index, m_firstMoment.second});
    }
    const std::int64_t months =
        std::int64_t(m_firstYear) * 12 + (m_firstMonth - 1) + std::int64_t(m_stepSize) * index;
    const std::int64_t year = FloorDiv(months, 12);
    if (year > kMaxYear) return OleDateTime(0.0, OleDateTime::Status::Invalid);
    const int month = static_cast<int>(months - year * 12) + 1;
    const int day = std::min(m_firstDay, DaysInMonth(static_cast<int>(year), month));
    return FromDayAndSecond({DayFromCivil(static_cast<int>(year), month, day), 0});
}

int PaymentCalendar::YearOf(std::int64_t index) const noexcept {
    if (!m_hasDates) return 0;
    switch (m_step) {
        case Step::None:
            return m_firstYear;
        case Step::Days: {
            const std::int64_t day = m_firstMoment.day + m_stepSize * index;
            // Beyond the calendar only "later than any year" matters.
            if (day > DayFromCivil(kYearLimit, 1, 1)) return kYearLimit;
            return CivilFromDay(day).year;
        }
        case Step::Months: {
            const std::int64_t months = std::int64_t(m_firstYear) * 12 + (m_firstMonth - 1) +
                                        std::int64_t(m_stepSize) * index;
            return static_cast<int>(std::min<std::int64_t>(FloorDiv(months, 12), kYearLimit));
        }
    }
    return m_firstYear;
}

std::int64_t PaymentCalendar::FirstIndexAfterYear(int year) const noexcept {
    if (!m_hasDates) return 0;
    if (year >= kYearLimit) return kNever;
    if (year < m_firstYear) return 0;
    switch (m_step) {
        case Step::None:
            return kNever;
        case Step::Days:
            return FirstStepReaching(m_firstMoment.day, m_stepSize, DayFromCivil(year + 1, 1, 1));
        case Step::Months:
            return FirstStepReaching(std::int64_t(m_firstYear) * 12 + (m_firstMonth - 1),
                                     m_stepSize, (std::int64_t(year) + 1) * 12);
    }
    return kNever;
}

std::int64_t PaymentCalendar::FirstIndexInYear(int year) const noexcept {
    if (year <= m_firstYear) return 0;
    return FirstIndexAfterYear(year - 1);
}

}  // namespace brellow
