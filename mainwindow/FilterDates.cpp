#include "mainwindow/FilterDates.h"

#include <cstdio>
#include <ctime>

namespace quennet {

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool Exists(const CalendarDay& day) {
    static const int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day.Year < 1601 || day.Year > 9999 || day.Month < 1 || day.Month > 12 || day.Day < 1)
        return false;
    const int days = kDaysInMonth[day.Month - 1] + (day.Month == 2 && IsLeapYear(day.Year) ? 1 : 0);
    return day.Day <= days;
}

// mktime normalises day + 1 past the month's end into the next month.
std::optional<std::int64_t> LocalMidnight(const CalendarDay& day, int addDays) {
    std::tm local{};
    local.tm_year = day.Year - 1900;
    local.tm_mon = day.Month - 1;
    local.tm_mday = day.Day + addDays;
    local.tm_isdst = -1; // the zone's own rule for that day
    const std::time_t time = std::mktime(&local);
    if (time == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<std::int64_t>(time);
}

} // namespace

std::optional<std::int64_t> LocalDayStart(const CalendarDay& day) {
    if (!Exists(day))
        return std::nullopt;
    return LocalMidnight(day, 0);
}

std::optional<std::int64_t> LocalDayEnd(const CalendarDay& day) {
    if (!Exists(day))
        return std::nullopt;
    const std::optional<std::int64_t> next = LocalMidnight(day, 1);
    if (!next)
        return std::nullopt;
    return *next - 1;
}

std::string FormatStoredDay(const CalendarDay& day) {
    char text[16] = "";
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.Year, day.Month, day.Day);
    return text;
}

std::optional<CalendarDay> ParseStoredDay(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    CalendarDay day;
    day.Year = std::stoi(text.substr(0, 4));
    day.Month = std::stoi(text.substr(5, 2));
    day.Day = std::stoi(text.substr(8, 2));
    if (!Exists(day))
        return std::nullopt;
    return day;
}

} // namespace quennet
