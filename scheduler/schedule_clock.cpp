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
const std::uint64_t ms_per_second = 1000;
const std::uint64_t late_after_ms = 60000;

// One second of the countdown; true when the countdown ran out with it.
bool count_second(ScheduleClock& clock, TickResult& result)
{
    clock.countdown_seconds -= 1;
    if (clock.countdown_seconds > 0) return false;

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
    return clock.countdown_minutes == 0 && clock.countdown_seconds == 0;
}

TickResult count_down(ScheduleClock& clock, std::uint64_t now_ms)
{
    TickResult result{false, 0, false, false};
    if (now_ms <= clock.counted_until_ms) return result;
    const std::uint64_t seconds = (now_ms - clock.counted_until_ms) / ms_per_second;
    for (std::uint64_t n = 1; n <= seconds; ++n) {
        if (!count_second(clock, result)) continue;
        const std::uint64_t end_ms = clock.counted_until_ms + n * ms_per_second;
        result.due = true;
        result.late = now_ms - end_ms >= late_after_ms;
        break;
    }
    clock.counted_until_ms += seconds * ms_per_second;
    return result;
}

} // namespace

ScheduleClock make_schedule_clock(const TargetTime& now) { return ScheduleClock{now, 0, 0, false, 0}; }

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

bool is_due(const ScheduleClock& clock, const TargetTime& now) { return minute_key(now) >= minute_key(clock.target); }

bool due_at_start(const ScheduleClock& clock, ScheduleMode mode, const TargetTime& now)
{
    if (mode == ScheduleMode::AtTime) return is_due(clock, now);
    return clock.countdown_minutes == 0;
}

void arm(ScheduleClock& clock, std::uint64_t now_ms)
{
    clock.armed = true;
    clock.counted_until_ms = now_ms;
}

void disarm(ScheduleClock& clock) { clock.armed = false; }

TickResult tick(ScheduleClock& clock, ScheduleMode mode, const TargetTime& now, std::uint64_t now_ms)
{
    if (!clock.armed) return TickResult{false, 0, false, false};
    if (mode == ScheduleMode::AfterMinutes) return count_down(clock, now_ms);
    const bool due = is_due(clock, now);
    return TickResult{false, 0, due, due && minute_key(now) > minute_key(clock.target)};
}
