#include "cli/TimeArgument.h"

#include <cstdio>
#include <ctime>

namespace quennet::cli {

namespace {

std::optional<std::int64_t> Duration(const std::string& text) {
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    if (digits == 0 || digits > 9)
        return std::nullopt;
    const std::int64_t count = std::stoll(text.substr(0, digits));
    const std::string unit = text.substr(digits);
    struct Unit {
        const char* name;
        std::int64_t seconds;
    };
    static const Unit kUnits[] = {{"s", 1},       {"sec", 1},      {"m", 60},        {"min", 60},
                                  {"h", 3600},    {"hours", 3600}, {"d", 86400},     {"days", 86400},
                                  {"w", 604800},  {"weeks", 604800}};
    for (const Unit& known : kUnits)
        if (unit == known.name)
            return count * known.seconds;
    return std::nullopt;
}

std::optional<std::int64_t> LocalDate(const std::string& text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int used = 0;
    const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d%n %2d:%2d%n:%2d%n", &year, &month, &day, &used, &hour,
                                   &minute, &used, &second, &used);
    if ((fields != 3 && fields != 5 && fields != 6) || used != static_cast<int>(text.size()))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59 || year < 1970)
        return std::nullopt;
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1; // the zone's own rule for that day
    const std::time_t time = std::mktime(&local);
    // mktime moves 31 April to 1 May: such a date does not exist.
    if (time == static_cast<std::time_t>(-1) || local.tm_mday != day || local.tm_mon != month - 1)
        return std::nullopt;
    return static_cast<std::int64_t>(time);
}

} // namespace

std::optional<std::int64_t> ParseTimeArgument(const std::string& text, std::int64_t now) {
    if (const auto duration = Duration(text))
        return now - *duration;
    return LocalDate(text);
}

} // namespace quennet::cli
