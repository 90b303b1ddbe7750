// Benchmark of firing accuracy on the schedule clock alone: the tick on which a
// countdown of M minutes reports due (ideal: 60 * M + 1, the first tick after
// M full minutes), and how late an at-time target fires for each second of the
// minute in which the schedule was started. Prints figures; asserts nothing.
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

} // namespace

int main()
{
    std::printf("countdown minutes -> tick reported due (ideal 60*M+1)\n");
    for (int minutes : {1, 2, 5, 30, 120, 1440}) {
        ScheduleClock clock = make_schedule_clock(at_second(0));
        adjust_countdown(clock, -minutes);
        arm(clock);
        long n = 1;
        while (!tick(clock, ScheduleMode::AfterMinutes, at_second(0)).due) ++n;
        std::printf("  %5d -> %ld (%+ld)\n", minutes, n, n - (60L * minutes + 1));
    }
    std::printf("at-time target one minute ahead: started at second s -> seconds until due\n");
    long worst = 0;
    for (int s = 0; s < 60; ++s) {
        ScheduleClock clock = make_schedule_clock(at_second(0));
        adjust_target_minute(clock, -1);
        arm(clock);
        long elapsed = 0;
        while (!tick(clock, ScheduleMode::AtTime, at_second(s + elapsed)).due) ++elapsed;
        const long late = s + elapsed - 60;
        if (late > worst) worst = late;
    }
    std::printf("  latest firing after the target minute began: %ld s\n", worst);
    return 0;
}
