// A local date and time, laid out exactly like the Windows SYSTEMTIME record: what
// the clock calls return and what the schedule aims at. No Windows here.
#ifndef TULVO_LOCAL_TIME_H
#define TULVO_LOCAL_TIME_H

#include <cstdint>

struct LocalTime {
    std::uint16_t year;
    std::uint16_t month;
    std::uint16_t day_of_week;
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    std::uint16_t second;
    std::uint16_t milliseconds;
};
static_assert(sizeof(LocalTime) == 16, "LocalTime must match SYSTEMTIME");

#endif
