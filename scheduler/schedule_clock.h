// The schedule: a target date and time or a countdown of whole minutes, whether it
// runs, and the once-a-second decision whether the action is due. No Windows here:
// the window feeds in the control deltas, the picked date and the local time.
#ifndef TULVO_SCHEDULE_CLOCK_H
#define TULVO_SCHEDULE_CLOCK_H

#include <cstdint>

// A date and time laid out exactly like the Windows SYSTEMTIME record.
struct TargetTime {
    std::uint16_t year;
    std::uint16_t month;
    std::uint16_t day_of_week;
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    std::uint16_t second;
    std::uint16_t milliseconds;
};
static_assert(sizeof(TargetTime) == 16, "TargetTime must match SYSTEMTIME");

enum class ScheduleMode { AtTime, AfterMinutes };

struct ScheduleClock {
    TargetTime target;
    std::int32_t countdown_minutes;
    std::int32_t countdown_seconds;
    bool armed;
};

// What one tick asks of the window.
struct TickResult {
    bool show_countdown;        // countdown_display is to be shown
    std::int64_t countdown_display;
    bool due;
};

// A clock at its start values: the given local time as target, no countdown, idle.
ScheduleClock make_schedule_clock(const TargetTime& now);

// Steps the target minute by the up-down control's delta (the upward arrow reports
// -1 and advances one minute). The hour wraps at midnight; the date never changes;
// a wrap lands on exactly 59 or 0 whatever the size of the delta.
TargetTime adjust_target_minute(ScheduleClock& clock, int delta);

void set_target_date(ScheduleClock& clock, std::uint16_t year, std::uint16_t month, std::uint16_t day);

// Steps the countdown by the control's delta, never below 0; returns the minutes.
std::int32_t adjust_countdown(ScheduleClock& clock, int delta);

// True when now is at or after the target minute; seconds never count.
bool is_due(const ScheduleClock& clock, const TargetTime& now);

// Asked by Start before arming: in at-time mode is_due, else no minutes are left.
bool due_at_start(const ScheduleClock& clock, ScheduleMode mode, const TargetTime& now);

void arm(ScheduleClock& clock);
void disarm(ScheduleClock& clock);

// One timer tick; does nothing while not armed. A countdown of M minutes shows M
// on its first tick, one less every 60 ticks, and is due on tick 60 * M + 1.
TickResult tick(ScheduleClock& clock, ScheduleMode mode, const TargetTime& now);

#endif
