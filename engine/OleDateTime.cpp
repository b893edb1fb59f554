#include "engine/OleDateTime.h"

#include "engine/DigitPairs.h"
#include "engine/Limits.h"
#include "engine/NumberParse.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace brellow {
namespace {

constexpr std::int64_t kUnixEpochDay = 25569;  // 1 January 1970
constexpr int kSecondsPerDay = 86400;

// A year of 1000..9999 as two digit pairs (dates are written once per schedule row);
// others with at least `width` digits.
char* PutYear(char* to, int year, int width) noexcept {
    if (year >= 1000 && year <= 9999) {
        const auto pairs = static_cast<unsigned>(year);
        return PutDigitPair(PutDigitPair(to, pairs / 100), pairs % 100);
    }
    char digits[10];
    int n = 0;
    auto magnitude = static_cast<unsigned>(year);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0 && n < 10);
    for (int i = n; i < width; ++i) *to++ = '0';
    while (n > 0) *to++ = digits[--n];
    return to;
}

// Reads 1..maxDigits decimal digits; false when there are none.
bool ReadNumber(std::string_view& text, int maxDigits, int& value) {
    int digits = 0;
    value = 0;
    while (!text.empty() && digits < maxDigits && text.front() >= '0' && text.front() <= '9') {
        value = value * 10 + (text.front() - '0');
        text.remove_prefix(1);
        ++digits;
    }
    return digits > 0;
}

bool ReadChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

int DaysInMonth(int year, int month) noexcept {
    using namespace std::chrono;
    return static_cast<int>(unsigned(
        year_month_day_last(std::chrono::year(year), month_day_last(std::chrono::month(month)))
            .day()));
}

std::int64_t DayFromCivil(int year, int month, int day) noexcept {
    using namespace std::chrono;
    const sys_days days{
        year_month_day{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)}};
    return days.time_since_epoch().count() + kUnixEpochDay;
}

// Neri and Schneider's conversion ("Euclidean affine functions and their application to
// calendar algorithms", 2022): multiplications and shifts, no division, because it runs
// for every row of every export. The days are shifted by 82 cycles of 400 years so that
// the arithmetic stays unsigned for years -32,767 to 32,767.
CivilDateTime CivilFromDay(std::int64_t day) noexcept {
    constexpr std::uint32_t kCycles = 82;
    constexpr std::uint32_t kShift = 719468 + 146097 * kCycles;  // from 1 March of year 0
    const auto n = static_cast<std::uint32_t>(day - kUnixEpochDay + kShift);
    const std::uint32_t n1 = 4 * n + 3;
    const std::uint32_t century = n1 / 146097;
    const std::uint32_t n2 = n1 % 146097 | 3;
    const std::uint64_t p2 = std::uint64_t{2939745} * n2;
    const auto yearOfCentury = static_cast<std::uint32_t>(p2 >> 32);
    const std::uint32_t dayOfYear = static_cast<std::uint32_t>(p2) / 2939745 / 4;
    const std::uint32_t n3 = 2141 * dayOfYear + 197913;
    const std::uint32_t month = n3 >> 16;
    const std::uint32_t dayOfMonth = (n3 & 0xffff) / 2141;
    const bool afterDecember = dayOfYear >= 306;  // January and February end the year
    const auto year = static_cast<std::int64_t>(100 * century + yearOfCentury) -
                      std::int64_t{400} * kCycles + afterDecember;
    return {static_cast<int>(year), static_cast<int>(afterDecember ? month - 12 : month),
            static_cast<int>(dayOfMonth + 1), 0, 0, 0};
}

// The range is tested on the day the value rounds to, the one every conversion uses:
// 23:59:59.7 on 31 December 9999 is 1 January 10000 and has no calendar date.
bool OleDateTime::HasCalendarDate() const noexcept {
    return ToDayAndSecond(*this).has_value();
}

std::optional<DayAndSecond> ToDayAndSecond(const OleDateTime& date) noexcept {
    const double value = date.Value();
    // Also keeps NaN and huge values away from the integer conversion.
    if (date.GetStatus() != OleDateTime::Status::Valid ||
        !(value > double(kMinDay - 1) && value < double(kMaxDay + 1))) {
        return std::nullopt;
    }
    const auto whole = static_cast<std::int64_t>(value);  // toward zero
    const double fraction = std::fabs(value - static_cast<double>(whole));
    // Schedule dates are whole days: no rounding to do.
    DayAndSecond moment{whole, fraction == 0.0 ? 0
                                               : static_cast<int>(std::llround(
                                                     fraction * kSecondsPerDay))};
    if (moment.second >= kSecondsPerDay) {
        moment.second = 0;
        ++moment.day;
    }
    if (moment.day < kMinDay || moment.day > kMaxDay) return std::nullopt;
    return moment;
}

OleDateTime FromDayAndSecond(DayAndSecond moment) noexcept {
    if (moment.day < kMinDay || moment.day > kMaxDay || moment.second < 0 ||
        moment.second >= kSecondsPerDay) {
        return OleDateTime(0.0, OleDateTime::Status::Invalid);
    }
    const double fraction = double(moment.second) / kSecondsPerDay;
    const double day = double(moment.day);
    return OleDateTime(moment.day < 0 ? day - fraction : day + fraction,
                       OleDateTime::Status::Valid);
}

std::optional<CivilDateTime> ToCivil(const OleDateTime& date) noexcept {
    const auto moment = ToDayAndSecond(date);
    if (!moment) return std::nullopt;
    CivilDateTime civil = CivilFromDay(moment->day);
    civil.hour = moment->second / 3600;
    civil.minute = moment->second / 60 % 60;
    civil.second = moment->second % 60;
    return civil;
}

OleDateTime OleDateTime::FromCivil(const CivilDateTime& c) noexcept {
    const bool ok = c.year >= kMinYear && c.year <= kMaxYear && c.month >= 1 && c.month <= 12 &&
                    c.day >= 1 && c.day <= DaysInMonth(c.year, c.month) && c.hour >= 0 &&
                    c.hour < 24 && c.minute >= 0 && c.minute < 60 && c.second >= 0 && c.second < 60;
    if (!ok) return OleDateTime(0.0, Status::Invalid);
    return FromDayAndSecond(
        {DayFromCivil(c.year, c.month, c.day), c.hour * 3600 + c.minute * 60 + c.second});
}

OleDateTime OleDateTime::CurrentLocal() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == std::time_t(-1) || localtime_r(&now, &local) == nullptr) {
        return OleDateTime(0.0, Status::Invalid);
    }
    return FromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, std::min(local.tm_sec, 59)});
}

char* PutDate(char* to, const OleDateTime& date) noexcept {
    const auto moment = ToDayAndSecond(date);
    if (!moment) return to;
    const CivilDateTime civil = CivilFromDay(moment->day);
    to = PutDigitPair(to, static_cast<unsigned>(civil.month));
    *to++ = '/';
    to = PutDigitPair(to, static_cast<unsigned>(civil.day));
    *to++ = '/';
    return PutYear(to, civil.year, 1);
}

char* PutIsoDate(char* to, const OleDateTime& date) noexcept {
    const auto moment = ToDayAndSecond(date);
    if (!moment) return to;
    const CivilDateTime civil = CivilFromDay(moment->day);
    to = PutYear(to, civil.year, 4);
    *to++ = '-';
    to = PutDigitPair(to, static_cast<unsigned>(civil.month));
    *to++ = '-';
    return PutDigitPair(to, static_cast<unsigned>(civil.day));
}

void AppendDate(std::string& out, const OleDateTime& date) {
    char text[kMaxDateChars];
    out.append(text, PutDate(text, date));
}

std::string FormatDate(const OleDateTime& date) {
    std::string text;
    AppendDate(text, date);
    return text;
}

std::string FormatIsoDate(const OleDateTime& date) {
    char text[kMaxDateChars];
    return std::string(text, PutIsoDate(text, date));
}

std::optional<OleDateTime> ParseDate(std::string_view text) {
    text = TrimBlanks(text);
    CivilDateTime civil;
    int first = 0;
    if (!ReadNumber(text, 4, first)) return std::nullopt;
    if (ReadChar(text, '/')) {
        civil.month = first;
        if (!ReadNumber(text, 2, civil.day) || !ReadChar(text, '/') ||
            !ReadNumber(text, 4, civil.year)) {
            return std::nullopt;
        }
    } else if (ReadChar(text, '-')) {
        civil.year = first;
        if (!ReadNumber(text, 2, civil.month) || !ReadChar(text, '-') ||
            !ReadNumber(text, 2, civil.day)) {
            return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    civil.hour = civil.minute = civil.second = 0;
    if (!text.empty()) {
        if (text.front() != ' ' && text.front() != 'T') return std::nullopt;
        text.remove_prefix(1);
        text = TrimBlanks(text);
        if (!ReadNumber(text, 2, civil.hour) || !ReadChar(text, ':') ||
            !ReadNumber(text, 2, civil.minute)) {
            return std::nullopt;
        }
        if (ReadChar(text, ':') && !ReadNumber(text, 2, civil.second)) return std::nullopt;
        if (!text.empty()) return std::nullopt;
    }
    const OleDateTime date = OleDateTime::FromCivil(civil);
    if (date.GetStatus() != OleDateTime::Status::Valid) return std::nullopt;
    return date;
}

}  // namespace brellow
