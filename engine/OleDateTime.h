#pragma once

// A point in time as a count of days since 30 December 1899 (the classic "OLE
// Automation date"), plus a status that says whether the value means anything.
//
// The whole part of the count is the day and the fraction is the time of day.
// Negative counts keep that reading: the whole part, taken toward zero, is the day
// and the absolute fraction is the time, so -1.25 is 29 December 1899 at 06:00, not
// 28 December at 18:00. Arithmetic therefore goes through a linear day number and
// never adds to the raw count.
//
// Dates exist from 1 January 100 to 31 December 9999 (Limits.h); outside that range, or when
// the status is not Valid, there is no calendar date and the formatted text is empty.
// Times are read to the nearest second, so 23:59:59.7 on 31 December counts as
// 1 January of the next year wherever a calendar date is taken.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brellow {

struct CivilDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class OleDateTime {
public:
    enum class Status : std::int32_t { Valid = 0, Invalid = 1, Null = 2 };

    constexpr OleDateTime() noexcept = default;
    constexpr OleDateTime(double value, Status status) noexcept
        : m_value(value), m_status(status) {}

    // A valid date for a calendar date and time, or an Invalid one when the fields do
    // not name an existing moment between 1 January 100 and 31 December 9999.
    static OleDateTime FromCivil(const CivilDateTime& civil) noexcept;
    static OleDateTime FromDate(int year, int month, int day) noexcept {
        return FromCivil({year, month, day, 0, 0, 0});
    }
    // The machine's current local date and time.
    static OleDateTime CurrentLocal();

    constexpr double Value() const noexcept { return m_value; }
    constexpr Status GetStatus() const noexcept { return m_status; }
    // Valid status and a value inside the supported range.
    bool HasCalendarDate() const noexcept;

    friend constexpr bool operator==(const OleDateTime&, const OleDateTime&) noexcept = default;

private:
    double m_value = 0.0;
    Status m_status = Status::Valid;
};

// Days since 30 December 1899 counted on a straight line (no sign convention), and
// the second of that day; the pair every calendar computation works on.
struct DayAndSecond {
    std::int64_t day = 0;
    int second = 0;
    friend constexpr auto operator<=>(const DayAndSecond&, const DayAndSecond&) noexcept = default;
};

// The date read to the nearest second; nullopt without a calendar date.
std::optional<DayAndSecond> ToDayAndSecond(const OleDateTime& date) noexcept;
// The date of a day and second; Invalid when it leaves the supported range.
OleDateTime FromDayAndSecond(DayAndSecond moment) noexcept;

std::optional<CivilDateTime> ToCivil(const OleDateTime& date) noexcept;
// Civil date of a linear day number (proleptic Gregorian calendar).
CivilDateTime CivilFromDay(std::int64_t day) noexcept;
// Linear day number of a civil date; the fields must name an existing day.
std::int64_t DayFromCivil(int year, int month, int day) noexcept;
int DaysInMonth(int year, int month) noexcept;

// The longest text of a date in either form.
inline constexpr int kMaxDateChars = 10;
// Write the texts of FormatDate and FormatIsoDate at `to` and return their end, for
// writers that compose a whole line in place.
char* PutDate(char* to, const OleDateTime& date) noexcept;
char* PutIsoDate(char* to, const OleDateTime& date) noexcept;

// "%m/%d/%Y" (04/01/2003); an empty text without a calendar date.
std::string FormatDate(const OleDateTime& date);
// Appends what FormatDate returns, without a temporary string.
void AppendDate(std::string& out, const OleDateTime& date);
// "YYYY-MM-DD"; an empty text without a calendar date.
std::string FormatIsoDate(const OleDateTime& date);

// Reads "MM/DD/YYYY" or "YYYY-MM-DD", each optionally followed by a blank and a time
// "HH:MM" or "HH:MM:SS"; blanks around the text are allowed. The same text is read
// whatever the user's locale. nullopt when the text is not such a date or names a
// day that does not exist.
std::optional<OleDateTime> ParseDate(std::string_view text);

}  // namespace brellow
