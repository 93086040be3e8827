// Month and year arithmetic on date-time values (days since 1899-12-30).
#include "Common.h"
#include "Cp932.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace Common {
namespace {

struct Date {
    int year, month, day;
};

// Serial days of 0001-01-01 and 9999-12-31.
constexpr long long MinDay = -693593;
constexpr long long MaxDay = 2958465;

[[noreturn]] void rangeError() {
    throw std::out_of_range("date out of range: only 0001-01-01 to 9999-12-31 can be encoded");
}

long long dayOf(TDateTime d) {
    if (!std::isfinite(d))
        rangeError();
    const double whole = std::trunc(d);
    if (whole < static_cast<double>(MinDay) || whole > static_cast<double>(MaxDay))
        rangeError();
    return static_cast<long long>(whole);
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[static_cast<std::size_t>(m - 1)];
}

// Days from 1970-01-01 and back (proleptic Gregorian calendar).
long long daysFromCivil(long long y, long long m, long long d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long Epoch = -25569;

Date decode(TDateTime d) {
    return civilFromDays(dayOf(d) + Epoch);
}

TDateTime encode(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m))
        rangeError();
    return static_cast<TDateTime>(daysFromCivil(y, m, d) - Epoch);
}

// The same day `months` later, clamped to that month's last day; the time of day is kept.
TDateTime incMonth(TDateTime d, int months) {
    const Date date = decode(d);
    const int index = date.year * 12 + (date.month - 1) + months;
    const int year = index / 12;
    const int month = index % 12 + 1;
    if (year < 1 || year > 9999)
        rangeError();
    const TDateTime day = encode(year, month, std::min(date.day, daysInMonth(year, month)));
    const double time = std::fabs(d - std::trunc(d));
    return day >= 0 ? day + time : day - time;
}

}  // namespace

TDateTime GetFirstDay(TDateTime d) {
    const Date date = decode(d);
    return encode(date.year, date.month, 1);
}

TDateTime GetYearFirstDay(TDateTime d) {
    return encode(decode(d).year, 1, 1);
}

TDateTime GetLastDay(TDateTime d) {
    return GetFirstDay(incMonth(d, 1)) - 1;
}

TDateTime GetYearLastDay(TDateTime d) {
    return GetYearFirstDay(incMonth(d, 12)) - 1;
}

int GetMonthDays(TDateTime d) {
    return static_cast<int>(std::trunc(GetFirstDay(incMonth(d, 1)) - GetFirstDay(d)));
}

std::string GetWeekDayString(TDateTime d) {
    static const std::array<QString, 7> names = {
        QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")};
    // 0001-01-01, serial day -693593, was a Monday.
    const long long weekday = (dayOf(d) - MinDay + 1) % 7;  // 0 = Sunday
    return Platform::Cp932::fromUnicode(names[static_cast<std::size_t>(weekday)]);
}

}  // namespace Common
