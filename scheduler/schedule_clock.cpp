#include "scheduler/schedule_clock.h"

#include <limits>
#include <tuple>

namespace {

// The five components that take part in the due test, most significant first.
std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t> minute_key(const TargetTime& t)
{
    return {t.year, t.month, t.day, t.hour, t.minute};
}

const std::int32_t seconds_per_minute_step = 60;

} // namespace

ScheduleClock make_schedule_clock(const TargetTime& now)
{
    return ScheduleClock{now, 0, 0, false};
}

TargetTime adjust_target_minute(ScheduleClock& clock, int delta)
{
    TargetTime& t = clock.target;
    const long long minute = static_cast<long long>(t.minute) - delta;
    if (minute < 0) {
        t.hour = t.hour == 0 ? 23 : static_cast<std::uint16_t>(t.hour - 1);
        t.minute = 59;
    } else if (minute > 59) {
        t.hour = t.hour >= 23 ? 0 : static_cast<std::uint16_t>(t.hour + 1);
        t.minute = 0;
    } else {
        t.minute = static_cast<std::uint16_t>(minute);
    }
    return t;
}

void set_target_date(ScheduleClock& clock, std::uint16_t year, std::uint16_t month, std::uint16_t day)
{
    clock.target.year = year;
    clock.target.month = month;
    clock.target.day = day;
}

std::int32_t adjust_countdown(ScheduleClock& clock, int delta)
{
    long long minutes = static_cast<long long>(clock.countdown_minutes) - delta;
    if (minutes < 0) minutes = 0;
    if (minutes > std::numeric_limits<std::int32_t>::max()) minutes = std::numeric_limits<std::int32_t>::max();
    clock.countdown_minutes = static_cast<std::int32_t>(minutes);
    return clock.countdown_minutes;
}

bool is_due(const ScheduleClock& clock, const TargetTime& now)
{
    return minute_key(now) >= minute_key(clock.target);
}

bool due_at_start(const ScheduleClock& clock, ScheduleMode mode, const TargetTime& now)
{
    if (mode == ScheduleMode::AtTime) return is_due(clock, now);
    return clock.countdown_minutes == 0;
}

void arm(ScheduleClock& clock) { clock.armed = true; }

void disarm(ScheduleClock& clock) { clock.armed = false; }

TickResult tick(ScheduleClock& clock, ScheduleMode mode, const TargetTime& now)
{
    TickResult result{false, 0, false};
    if (!clock.armed) return result;
    if (mode == ScheduleMode::AtTime) {
        result.due = is_due(clock, now);
        return result;
    }
    clock.countdown_seconds -= 1;
    if (clock.countdown_seconds > 0) return result;

    const std::int32_t old_minutes = clock.countdown_minutes;
    clock.countdown_seconds = 0;
    if (old_minutes > 0) {
        clock.countdown_minutes = old_minutes - 1;
        clock.countdown_seconds = seconds_per_minute_step;
    } else {
        clock.countdown_minutes = 0;
    }
    result.show_countdown = true;
    result.countdown_display = static_cast<std::int64_t>(clock.countdown_minutes) + 1;
    result.due = clock.countdown_minutes == 0 && clock.countdown_seconds == 0;
    return result;
}
