// Benchmark of firing accuracy on the schedule clock alone: when a countdown of
// M minutes reports due (ideal: 60 * M + 1 s after Start) with ticks on time and
// with ticks every 1,015 ms as a window timer gives them on Windows, and how late
// an at-time target fires for each second of the minute in which the schedule was
// started. Prints figures; asserts nothing.
#include <cstdio>
#include <initializer_list>

#include "scheduler/schedule_clock.h"

namespace {

TargetTime at_second(long total_seconds)
{
    TargetTime t{};
    t.year = 2026;
    t.month = 12;
    t.day = 8;
    t.hour = static_cast<std::uint16_t>(10 + total_seconds / 3600);
    t.minute = static_cast<std::uint16_t>(total_seconds / 60 % 60);
    t.second = static_cast<std::uint16_t>(total_seconds % 60);
    return t;
}

// Milliseconds from Start to the tick that reports the countdown due, the timer
// ticking every period_ms.
std::uint64_t countdown_due_after(int minutes, std::uint64_t period_ms)
{
    ScheduleClock clock = make_schedule_clock(at_second(0));
    adjust_countdown(clock, -minutes);
    const std::uint64_t start_ms = 1000000;
    arm(clock, start_ms);
    std::uint64_t now_ms = start_ms;
    do now_ms += period_ms;
    while (!tick(clock, ScheduleMode::AfterMinutes, at_second(0), now_ms).due);
    return now_ms - start_ms;
}

} // namespace

int main()
{
    std::printf("countdown minutes -> seconds from Start to due (ideal 60*M+1), ticks every 1000 / 1015 ms\n");
    for (int minutes : {1, 2, 5, 30, 120, 1440}) {
        const double ideal = 60.0 * minutes + 1;
        const double on_time = countdown_due_after(minutes, 1000) / 1000.0;
        const double drifting = countdown_due_after(minutes, 1015) / 1000.0;
        std::printf("  %5d -> %.3f (%+.3f) / %.3f (%+.3f)\n", minutes, on_time, on_time - ideal, drifting,
                    drifting - ideal);
    }
    // Counting timer messages instead of the clock's seconds, the 7,201st tick would
    // come 7,201 * 1.015 s after Start.
    std::printf("  a countdown counting timer messages: 120 minutes due %+.3f s late\n", 7201 * 1.015 - 7201);
    std::printf("at-time target one minute ahead: started at second s -> seconds until due\n");
    long worst = 0;
    for (int s = 0; s < 60; ++s) {
        ScheduleClock clock = make_schedule_clock(at_second(0));
        adjust_target_minute(clock, -1);
        arm(clock, 0);
        long elapsed = 0;
        while (!tick(clock, ScheduleMode::AtTime, at_second(s + elapsed), 0).due) ++elapsed;
        const long late = s + elapsed - 60;
        if (late > worst) worst = late;
    }
    std::printf("  latest firing after the target minute began: %ld s\n", worst);
    return 0;
}
