#pragma once

// The amortization schedule, produced one row at a time and never stored.
//
// With B the loan amount, T = payment + additional payment and i the periodic rate,
// each row takes interest = i × B, principal = T − interest, B = B − principal (the
// step of Amortization.h). The last row (index ScheduleLength − 1) clears the balance: its
// principal is the previous balance and its payment that principal plus its interest, so it absorbs
// the cent rounding of the level payment, or is the balloon, or the smaller closing payment after
// additional payments. Nothing is rounded here; amounts are rounded only when they are formatted.
//   100,000.00 at 6 % monthly over 360: row 1 pays 599.55 = 500.00 interest + 99.55
//   principal, leaving 99,900.45; row 360 leaves exactly 0.
//
// A year filter Y lists only the rows dated in Y and stops at the first row dated
// after Y. Running totals sum every generated row, listed or not, so with Y set they
// run from the first payment to the end of Y; annual totals sum the listed rows.
// Y = kAllYears lists every row. A schedule whose first payment date is not valid has
// no years: the filter is ignored and every row is listed.

#include "engine/Amortization.h"
#include "engine/OleDateTime.h"
#include "engine/PaymentCalendar.h"

#include <cstdint>
#include <vector>

namespace brellow {

class CTamsicDoc;

inline constexpr int kAllYears = -1;

struct ScheduleRow {
    int period = 0;  // 1-based over the whole schedule
    OleDateTime date;
    double payment = 0.0;
    double interest = 0.0;
    double principal = 0.0;
    double balance = 0.0;
};

struct AmountTotals {
    double payment = 0.0;
    double interest = 0.0;
    double principal = 0.0;

    void Add(const ScheduleRow& row) noexcept {
        payment += row.payment;
        interest += row.interest;
        principal += row.principal;
    }
};

struct ScheduleTotals {
    AmountTotals annual;   // rows listed for the selected year
    AmountTotals running;  // every row generated
};

// Where a walk stands before row `index` (0-based): the balance left and the running
// totals of the rows before it. A walk resumed from it produces bit for bit the rows
// and totals of a walk from the first row.
struct ScheduleState {
    std::int64_t index = 0;
    double balance = 0.0;
    AmountTotals running;
};

// The states of one schedule at every 1,024th row and at the first row of every year,
// so that a walk to a row near the end of a long schedule starts close to it. Built by
// one walk of the whole schedule; a presenter keeps it with the document and builds it
// again when the terms change. Generators ignore checkpoints of another basis.
class ScheduleCheckpoints {
public:
    static constexpr std::int64_t kInterval = 1024;

    ScheduleCheckpoints() = default;  // no states: every walk starts at the first row
    explicit ScheduleCheckpoints(const ScheduleBasis& basis);

    const ScheduleBasis& Basis() const noexcept { return m_basis; }
    int Length() const noexcept { return m_length; }
    // The last state at or before row `index`; nullptr when there is none.
    const ScheduleState* Before(std::int64_t index) const noexcept;

private:
    ScheduleBasis m_basis;
    int m_length = 0;
    std::vector<ScheduleState> m_states;  // by increasing index
};

// Walks a schedule row by row:
//   ScheduleGenerator gen(doc, year);
//   ScheduleRow row;
//   while (gen.Next(row)) { ...row... }
//   gen.Totals()  // complete once Next has returned false
// The generator copies what it needs; the document may change or go while it runs.
class ScheduleGenerator {
public:
    ScheduleGenerator(const ScheduleBasis& basis, int year,
                      const ScheduleCheckpoints* checkpoints = nullptr);
    ScheduleGenerator(const CTamsicDoc& doc, int year,
                      const ScheduleCheckpoints* checkpoints = nullptr);

    // Before the first Next: passes over `count` listed rows without returning them,
    // for a presenter that shows rows from the middle of the list. Their amounts still
    // count in the totals. Without a year filter the walk resumes from the nearest
    // checkpoint.
    void SkipListed(std::int64_t count);
    // The next listed row; false when the schedule (or the selected year) is done.
    bool Next(ScheduleRow& row);

    // The year actually filtered on: kAllYears when none was asked for or the schedule
    // has no dates.
    int Year() const noexcept { return m_year; }
    bool HasAnnualTotals() const noexcept { return m_year != kAllYears; }
    const ScheduleTotals& Totals() const noexcept { return m_totals; }
    int Length() const noexcept { return m_length; }
    // Number of rows Next will list, known before the first one.
    int ListedRows() const noexcept { return static_cast<int>(m_stop - m_firstListed); }
    const PaymentCalendar& Calendar() const noexcept { return m_calendar; }
    // Where the walk stands: before the row Next computes next.
    ScheduleState State() const noexcept { return {m_index, m_balance, m_totals.running}; }

private:
    // Moves the walk forward to the state, when that is ahead of it.
    void ResumeFrom(const ScheduleState* state) noexcept;
    // Computes row m_index and counts it, with its date when `dated`; false at the end
    // of the walk.
    bool Step(ScheduleRow& row, bool dated) noexcept;

    PaymentCalendar m_calendar;
    int m_year;
    int m_length;
    double m_fullPayment;
    double m_rate;
    const ScheduleCheckpoints* m_checkpoints;
    std::int64_t m_firstListed;  // index of the first row dated in the year
    std::int64_t m_stop;         // one past the last row generated
    std::int64_t m_index = 0;
    double m_balance;
    ScheduleTotals m_totals;
};

// Whether the schedule is listed by calendar year: paid more often than yearly (a
// payment code below 6), with a valid first payment date.
bool ScheduleHasYears(const CTamsicDoc& doc);
// First and last calendar year of the schedule's payments (last >= first; a schedule
// without rows spans the first payment's year).
struct YearSpan {
    int first = 0;
    int last = 0;
    int Count() const noexcept { return last - first + 1; }
};
YearSpan ScheduleYears(const CTamsicDoc& doc);
// Number of rows listed for a year (the whole schedule for kAllYears).
int CountRowsInYear(const CTamsicDoc& doc, int year);

// Whether every payment date of the schedule lies in the calendar (no later than
// 31 December 9999). A first date that is invalid or null has no dates to check.
// Needs the payment computed.
bool ScheduleFitsCalendar(const CTamsicDoc& doc);
// Whether the amount, the payment, the additional payment and every row amount and
// running total are numbers of magnitude below kMaxScheduleAmount (Limits.h), where a
// double still holds every cent. A payment rounded short by a fraction of a cent
// compounds over a long term: 100,000.00 at 6 % over 50,000 weekly payments ends near
// -3.5 × 10^27, and longer terms reach "$inf". One walk of the whole schedule, unless a
// bound on its growth already shows every figure within the limit. Needs the payment
// computed.
bool ScheduleWithinCentLimit(const CTamsicDoc& doc);

}  // namespace brellow
