#include <gtest/gtest.h>

#include <algorithm>

#include "scheduler/schedule_clock.h"

namespace {

TargetTime at(int year, int month, int day, int hour, int minute, int second = 0)
{
    TargetTime t{};
    t.year = static_cast<std::uint16_t>(year);
    t.month = static_cast<std::uint16_t>(month);
    t.day_of_week = 3;
    t.day = static_cast<std::uint16_t>(day);
    t.hour = static_cast<std::uint16_t>(hour);
    t.minute = static_cast<std::uint16_t>(minute);
    t.second = static_cast<std::uint16_t>(second);
    t.milliseconds = 123;
    return t;
}

const TargetTime noon = at(2026, 12, 8, 12, 0);

ScheduleClock countdown_of(int minutes)
{
    ScheduleClock clock = make_schedule_clock(noon);
    adjust_countdown(clock, -minutes);
    return clock;
}

// A countdown driven by ticks that come exactly once a second (or as told), on a
// monotonic clock that starts at an arbitrary moment.
struct ScheduleClockCountdown {
    ScheduleClock clock;
    std::uint64_t now_ms = 5000000;

    explicit ScheduleClockCountdown(int minutes) : clock(countdown_of(minutes)) {}
    void start() { arm(clock, now_ms); }
    TickResult tick_after(std::uint64_t ms)
    {
        now_ms += ms;
        return tick(clock, ScheduleMode::AfterMinutes, noon, now_ms);
    }
    TickResult next() { return tick_after(1000); }
    // Ticks until the countdown reports due; returns that tick's number.
    long ticks_until_due(long limit = 100000)
    {
        for (long n = 1; n <= limit; ++n)
            if (next().due) return n;
        return -1;
    }
};

} // namespace

TEST(ScheduleClockTargetMinute, UpArrowAdvancesAndWrapsHourNotDate)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 12, 31, 23, 59));
    const TargetTime t = adjust_target_minute(clock, -1);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 0);
    EXPECT_EQ(t.day, 31);
    EXPECT_EQ(t.month, 12);
    EXPECT_EQ(t.year, 2026);
}

TEST(ScheduleClockTargetMinute, DownArrowAtMidnightWrapsToLastMinute)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 1, 1, 0, 0));
    const TargetTime t = adjust_target_minute(clock, 1);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.year, 2026);
}

TEST(ScheduleClockTargetMinute, LargeDeltaLandsOnTheHourAtAWrap)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 3, 4, 10, 58));
    TargetTime t = adjust_target_minute(clock, -5);
    EXPECT_EQ(t.hour, 11);
    EXPECT_EQ(t.minute, 0);
    clock = make_schedule_clock(at(2026, 3, 4, 10, 2));
    t = adjust_target_minute(clock, 5);
    EXPECT_EQ(t.hour, 9);
    EXPECT_EQ(t.minute, 59);
    t = adjust_target_minute(clock, 3);
    EXPECT_EQ(t.minute, 56);
}

TEST(ScheduleClockTargetMinute, KeepsFieldsThatTakeNoPart)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 3, 4, 10, 20, 42));
    const TargetTime t = adjust_target_minute(clock, -1);
    EXPECT_EQ(t.second, 42);
    EXPECT_EQ(t.milliseconds, 123);
    EXPECT_EQ(t.day_of_week, 3);
    set_target_date(clock, 2027, 2, 28);
    EXPECT_EQ(clock.target.year, 2027);
    EXPECT_EQ(clock.target.month, 2);
    EXPECT_EQ(clock.target.day, 28);
    EXPECT_EQ(clock.target.hour, 10);
    EXPECT_EQ(clock.target.minute, 21);
}

TEST(ScheduleClockDueTest, IsChronologicalToTheMinute)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 12, 8, 10, 50));
    EXPECT_FALSE(is_due(clock, at(2026, 12, 8, 10, 49, 59)));
    EXPECT_TRUE(is_due(clock, at(2026, 12, 8, 10, 50, 0)));
    EXPECT_TRUE(is_due(clock, at(2026, 12, 8, 11, 5))); // missed target: due, not an hour late
    EXPECT_TRUE(is_due(clock, at(2026, 12, 9, 0, 0)));
}

TEST(ScheduleClockDueTest, AcrossMidnightMonthAndYearEnds)
{
    struct Case {
        TargetTime target;
        TargetTime now;
        bool due;
    } cases[] = {
        {at(2026, 12, 8, 23, 30), at(2026, 12, 9, 0, 10), true},
        {at(2026, 12, 9, 0, 10), at(2026, 12, 8, 23, 59), false},
        {at(2026, 1, 31, 22, 0), at(2026, 2, 1, 8, 0), true},
        {at(2026, 2, 1, 8, 0), at(2026, 1, 31, 22, 0), false},
        {at(2026, 12, 31, 23, 59), at(2027, 1, 1, 0, 0), true},
        {at(2027, 1, 1, 0, 0), at(2026, 12, 31, 23, 59), false},
        {at(2026, 6, 15, 9, 30), at(2025, 7, 16, 10, 31), false},
    };
    for (const Case& c : cases) {
        ScheduleClock clock = make_schedule_clock(c.target);
        EXPECT_EQ(is_due(clock, c.now), c.due)
            << c.now.year << "-" << c.now.month << "-" << c.now.day << " " << c.now.hour << ":" << c.now.minute;
    }
}

TEST(ScheduleClockDueTest, AtTimeTickFiresOnlyWhileArmed)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 12, 8, 10, 50));
    EXPECT_FALSE(tick(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 50), 0).due);
    arm(clock, 0);
    EXPECT_FALSE(tick(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 49, 59), 1000).due);
    const TickResult r = tick(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 50, 59), 2000);
    EXPECT_TRUE(r.due);
    EXPECT_FALSE(r.late);
    EXPECT_FALSE(r.show_countdown);
}

TEST(ScheduleClockDueTest, AtTimeFoundDueInALaterMinuteIsLate)
{
    const TargetTime target = at(2026, 12, 8, 10, 50);
    for (const TargetTime& now : {at(2026, 12, 8, 10, 51, 0), at(2026, 12, 8, 11, 5), at(2026, 12, 9, 7, 30)}) {
        ScheduleClock clock = make_schedule_clock(target);
        arm(clock, 0);
        const TickResult r = tick(clock, ScheduleMode::AtTime, now, 1000);
        EXPECT_TRUE(r.due);
        EXPECT_TRUE(r.late) << now.day << " " << now.hour << ":" << now.minute;
    }
}

TEST(ScheduleClockDueAtStart, FollowsMode)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 12, 8, 10, 50));
    EXPECT_TRUE(due_at_start(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 50, 30)));
    EXPECT_TRUE(due_at_start(clock, ScheduleMode::AtTime, at(2026, 12, 8, 11, 5)));
    EXPECT_FALSE(due_at_start(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 49)));
    EXPECT_TRUE(due_at_start(clock, ScheduleMode::AfterMinutes, at(2026, 12, 8, 10, 49)));
    adjust_countdown(clock, -1);
    EXPECT_FALSE(due_at_start(clock, ScheduleMode::AfterMinutes, at(2026, 12, 8, 10, 49)));
}

TEST(ScheduleClockCountdown, AdjustmentNeverGoesBelowZero)
{
    ScheduleClock clock = make_schedule_clock(noon);
    EXPECT_EQ(adjust_countdown(clock, 1), 0);
    EXPECT_EQ(adjust_countdown(clock, -3), 3);
    EXPECT_EQ(adjust_countdown(clock, 5), 0);
    EXPECT_EQ(adjust_countdown(clock, -2147483647), 2147483647);
    EXPECT_EQ(adjust_countdown(clock, -5), 2147483647);
    EXPECT_EQ(clock.countdown_seconds, 0);
}

TEST(ScheduleClockCountdown, EveryMinuteLastsSixtyTicks)
{
    ScheduleClockCountdown c(3);
    c.start();
    TickResult first = c.next();
    EXPECT_TRUE(first.show_countdown);
    EXPECT_EQ(first.countdown_display, 3);
    for (int n = 2; n <= 60; ++n) EXPECT_FALSE(c.next().show_countdown) << n;
    TickResult second = c.next(); // tick 61
    EXPECT_TRUE(second.show_countdown);
    EXPECT_EQ(second.countdown_display, 2);
    EXPECT_FALSE(second.due);
}

TEST(ScheduleClockCountdown, DueOnTickSixtyTimesMinutesPlusOne)
{
    for (int minutes : {1, 2, 10, 120}) {
        ScheduleClockCountdown c(minutes);
        c.start();
        EXPECT_EQ(c.ticks_until_due(), 60L * minutes + 1) << minutes;
    }
}

TEST(ScheduleClockCountdown, FinalTickShowsOneAndIsDueOnTime)
{
    ScheduleClockCountdown c(1);
    c.start();
    for (int n = 1; n < 61; ++n) c.next();
    const TickResult last = c.next();
    EXPECT_TRUE(last.due);
    EXPECT_FALSE(last.late);
    EXPECT_TRUE(last.show_countdown);
    EXPECT_EQ(last.countdown_display, 1);
}

TEST(ScheduleClockCountdown, TicksThatComeLateStillCountTheClocksSeconds)
{
    // A window timer of 1000 ms elapses about every 1,015 ms on Windows.
    const std::uint64_t period_ms = 1015;
    ScheduleClockCountdown c(120);
    const std::uint64_t started_ms = c.now_ms;
    c.start();
    for (;;) {
        const TickResult r = c.tick_after(period_ms);
        const std::uint64_t elapsed_ms = c.now_ms - started_ms;
        ASSERT_LT(elapsed_ms, 7300000u) << "never due";
        if (r.show_countdown) {
            const std::int64_t seconds = static_cast<std::int64_t>(elapsed_ms / 1000);
            EXPECT_EQ(r.countdown_display, std::max<std::int64_t>(1, 120 - (seconds - 1) / 60)) << elapsed_ms;
        }
        if (!r.due) continue;
        EXPECT_GE(elapsed_ms, 7201000u);
        EXPECT_LT(elapsed_ms, 7201000u + period_ms);
        EXPECT_FALSE(r.late);
        break;
    }
}

TEST(ScheduleClockCountdown, AGapBetweenTicksIsCaughtUpAtOnce)
{
    ScheduleClockCountdown c(5);
    c.start();
    for (int n = 0; n < 10; ++n) c.next();
    // Twenty seconds without a timer message (a busy thread finds one on its return).
    const TickResult after_gap = c.tick_after(20000);
    EXPECT_EQ(c.clock.countdown_minutes, 4);
    EXPECT_EQ(c.clock.countdown_seconds, 31);
    EXPECT_FALSE(after_gap.due);
    EXPECT_EQ(30 + c.ticks_until_due(), 60 * 5 + 1);
}

TEST(ScheduleClockCountdown, ALateEndIsReportedFromSixtySecondsOn)
{
    struct Case {
        std::uint64_t gap_ms; // from the last on-time tick
        bool due;
        bool late;
    } cases[] = {
        {3600000, true, true},       // an hour of sleep across a 30-minute countdown
        {1000 + 59999, true, false}, // 59.999 s after the end
        {1000 + 60000, true, true},  // a minute after the end
        {999, false, false},
    };
    for (const Case& k : cases) {
        ScheduleClockCountdown c(30);
        c.start();
        for (int n = 0; n < 60 * 30; ++n) ASSERT_FALSE(c.next().due);
        const TickResult r = c.tick_after(k.gap_ms);
        EXPECT_EQ(r.due, k.due) << k.gap_ms;
        EXPECT_EQ(r.late, k.late) << k.gap_ms;
        if (r.due) {
            EXPECT_EQ(r.countdown_display, 1);
        }
    }
}

TEST(ScheduleClockCountdown, StopAndStartKeepTheRemainderToTheSecond)
{
    ScheduleClockCountdown c(5);
    c.start();
    for (int n = 0; n < 31; ++n) c.next();
    c.now_ms += 700;
    disarm(c.clock);
    EXPECT_EQ(c.clock.countdown_minutes, 4);
    EXPECT_EQ(c.clock.countdown_seconds, 30);
    for (int n = 0; n < 100; ++n) EXPECT_FALSE(c.next().show_countdown);
    c.start();
    for (int n = 1; n < 30; ++n) EXPECT_FALSE(c.next().show_countdown);
    EXPECT_FALSE(c.tick_after(999).show_countdown);
    const TickResult step = c.tick_after(1);
    EXPECT_TRUE(step.show_countdown);
    EXPECT_EQ(step.countdown_display, 4);
}

TEST(ScheduleClockCountdown, RestartAtNewMinutesKeepsTheSecondsLeft)
{
    ScheduleClockCountdown c(5);
    c.start();
    for (int n = 0; n < 31; ++n) c.next();
    disarm(c.clock);
    ASSERT_EQ(c.clock.countdown_seconds, 30);
    adjust_countdown(c.clock, -(10 - c.clock.countdown_minutes));
    ASSERT_EQ(c.clock.countdown_minutes, 10);
    c.start();
    EXPECT_EQ(c.ticks_until_due(), 30 + 60 * 10);
}

TEST(ScheduleClockCountdown, StoppedInTheLastMinuteIsDueAtStart)
{
    ScheduleClockCountdown c(1);
    c.start();
    for (int n = 0; n < 10; ++n) c.next();
    disarm(c.clock);
    EXPECT_EQ(c.clock.countdown_minutes, 0);
    EXPECT_TRUE(due_at_start(c.clock, ScheduleMode::AfterMinutes, noon));
}

TEST(ScheduleClockCountdown, ZeroMinutesIsDueOnFirstTick)
{
    ScheduleClockCountdown c(0);
    c.start();
    const TickResult r = c.next();
    EXPECT_TRUE(r.due);
    EXPECT_EQ(r.countdown_display, 1);
}
