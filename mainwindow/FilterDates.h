// The "Modified" filter's days: a day chosen in the window is a local day, both ends
// inclusive, so "after" is that day's first second and "before" its last. Kept as
// "YYYY-MM-DD" between runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quennet {

struct CalendarDay {
    int Year = 0;
    int Month = 0; // 1-12
    int Day = 0;   // 1-31
};

// Seconds since 1970 (UTC) of local 00:00:00 of the day; nullopt for a day that does not exist.
std::optional<std::int64_t> LocalDayStart(const CalendarDay& day);
// Of local 23:59:59: the second before the next day starts (a day of a clock change is not
// 86,400 seconds long).
std::optional<std::int64_t> LocalDayEnd(const CalendarDay& day);

std::string FormatStoredDay(const CalendarDay& day);
// Exactly "YYYY-MM-DD" naming a day that exists in the years the date picker shows
// (1601-9999); nullopt for anything else.
std::optional<CalendarDay> ParseStoredDay(const std::string& text);

} // namespace quennet
