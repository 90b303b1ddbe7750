// The schedule: a target date and time or a countdown of whole minutes, whether it
// runs, and the once-a-second decision whether the action is due. No Windows here:
// the window feeds in the control deltas, the picked date, the local time and a
// monotonic millisecond count that goes on through sleep.
#ifndef TULVO_SCHEDULE_CLOCK_H
#define TULVO_SCHEDULE_CLOCK_H

#include <cstdint>

#include "platform/local_time.h"

// The schedule's target: a local date and time as the clock gives it.
using TargetTime = LocalTime;

enum class ScheduleMode { AtTime, AfterMinutes };

struct ScheduleClock {
    TargetTime target;
    std::int32_t countdown_minutes;
    std::int32_t countdown_seconds;
    bool armed;
    // The monotonic moment up to which the countdown has counted its seconds.
    std::uint64_t counted_until_ms;
};

// What one tick asks of the window.
struct TickResult {
    bool show_countdown; // countdown_display is to be shown
    std::int64_t countdown_display;
    bool due;
    // Due, but found a minute or more after its moment: the PC slept through it or
    // the program could not run.
    bool late;
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

// Runs the schedule from now_ms on; a stopped countdown goes on from where it stood.
void arm(ScheduleClock& clock, std::uint64_t now_ms);
// Stops it, keeping the countdown's remainder as of the last tick.
void disarm(ScheduleClock& clock);

// One timer tick; does nothing while not armed. At time: due from the first tick
// in the target minute, late when that tick falls in a later minute. After minutes:
// one countdown step per whole second since the last one counted, however late or
// bunched the ticks come. A countdown of M minutes shows M after its first second,
// one less every 60 seconds, and is due 60 * M + 1 seconds after it was started;
// late when that moment lies 60 s or more before now_ms.
TickResult tick(ScheduleClock& clock, ScheduleMode mode, const TargetTime& now, std::uint64_t now_ms);

#endif
