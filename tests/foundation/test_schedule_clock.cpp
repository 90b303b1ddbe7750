#include <gtest/gtest.h>

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

// Ticks an armed countdown until it reports due; returns that tick's number.
long ticks_until_due(ScheduleClock& clock, long limit = 100000)
{
    for (long n = 1; n <= limit; ++n)
        if (tick(clock, ScheduleMode::AfterMinutes, noon).due) return n;
    return -1;
}

} // namespace

TEST(TargetMinute, UpArrowAdvancesAndWrapsHourNotDate)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 12, 31, 23, 59));
    const TargetTime t = adjust_target_minute(clock, -1);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 0);
    EXPECT_EQ(t.day, 31);
    EXPECT_EQ(t.month, 12);
    EXPECT_EQ(t.year, 2026);
}

TEST(TargetMinute, DownArrowAtMidnightWrapsToLastMinute)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 1, 1, 0, 0));
    const TargetTime t = adjust_target_minute(clock, 1);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.year, 2026);
}

TEST(TargetMinute, LargeDeltaLandsOnTheHourAtAWrap)
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

TEST(TargetMinute, KeepsFieldsThatTakeNoPart)
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

TEST(DueTest, IsChronologicalToTheMinute)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 12, 8, 10, 50));
    EXPECT_FALSE(is_due(clock, at(2026, 12, 8, 10, 49, 59)));
    EXPECT_TRUE(is_due(clock, at(2026, 12, 8, 10, 50, 0)));
    EXPECT_TRUE(is_due(clock, at(2026, 12, 8, 11, 5)));  // missed target: due, not an hour late
    EXPECT_TRUE(is_due(clock, at(2026, 12, 9, 0, 0)));
}

TEST(DueTest, AcrossMidnightMonthAndYearEnds)
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
        EXPECT_EQ(is_due(clock, c.now), c.due) << c.now.year << "-" << c.now.month << "-" << c.now.day << " "
                                                << c.now.hour << ":" << c.now.minute;
    }
}

TEST(DueTest, AtTimeTickFiresOnlyWhileArmed)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 12, 8, 10, 50));
    EXPECT_FALSE(tick(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 50)).due);
    arm(clock);
    EXPECT_FALSE(tick(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 49, 59)).due);
    const TickResult r = tick(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 50, 0));
    EXPECT_TRUE(r.due);
    EXPECT_FALSE(r.show_countdown);
}

TEST(DueAtStart, FollowsMode)
{
    ScheduleClock clock = make_schedule_clock(at(2026, 12, 8, 10, 50));
    EXPECT_TRUE(due_at_start(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 50, 30)));
    EXPECT_TRUE(due_at_start(clock, ScheduleMode::AtTime, at(2026, 12, 8, 11, 5)));
    EXPECT_FALSE(due_at_start(clock, ScheduleMode::AtTime, at(2026, 12, 8, 10, 49)));
    EXPECT_TRUE(due_at_start(clock, ScheduleMode::AfterMinutes, at(2026, 12, 8, 10, 49)));
    adjust_countdown(clock, -1);
    EXPECT_FALSE(due_at_start(clock, ScheduleMode::AfterMinutes, at(2026, 12, 8, 10, 49)));
}

TEST(Countdown, AdjustmentNeverGoesBelowZero)
{
    ScheduleClock clock = make_schedule_clock(noon);
    EXPECT_EQ(adjust_countdown(clock, 1), 0);
    EXPECT_EQ(adjust_countdown(clock, -3), 3);
    EXPECT_EQ(adjust_countdown(clock, 5), 0);
    EXPECT_EQ(adjust_countdown(clock, -2147483647), 2147483647);
    EXPECT_EQ(adjust_countdown(clock, -5), 2147483647);
    EXPECT_EQ(clock.countdown_seconds, 0);
}

TEST(Countdown, EveryMinuteLastsSixtyTicks)
{
    ScheduleClock clock = countdown_of(3);
    arm(clock);
    TickResult first = tick(clock, ScheduleMode::AfterMinutes, noon);
    EXPECT_TRUE(first.show_countdown);
    EXPECT_EQ(first.countdown_display, 3);
    for (int n = 2; n <= 60; ++n) EXPECT_FALSE(tick(clock, ScheduleMode::AfterMinutes, noon).show_countdown) << n;
    TickResult second = tick(clock, ScheduleMode::AfterMinutes, noon);  // tick 61
    EXPECT_TRUE(second.show_countdown);
    EXPECT_EQ(second.countdown_display, 2);
    EXPECT_FALSE(second.due);
}

TEST(Countdown, DueOnTickSixtyTimesMinutesPlusOne)
{
    for (int minutes : {1, 2, 10, 120}) {
        ScheduleClock clock = countdown_of(minutes);
        arm(clock);
        EXPECT_EQ(ticks_until_due(clock), 60L * minutes + 1) << minutes;
    }
}

TEST(Countdown, FinalTickShowsOneAndIsDue)
{
    ScheduleClock clock = countdown_of(1);
    arm(clock);
    for (int n = 1; n < 61; ++n) tick(clock, ScheduleMode::AfterMinutes, noon);
    const TickResult last = tick(clock, ScheduleMode::AfterMinutes, noon);
    EXPECT_TRUE(last.due);
    EXPECT_TRUE(last.show_countdown);
    EXPECT_EQ(last.countdown_display, 1);
}

TEST(Countdown, StopAndStartContinueWhereItStood)
{
    ScheduleClock clock = countdown_of(5);
    arm(clock);
    for (int n = 0; n < 31; ++n) tick(clock, ScheduleMode::AfterMinutes, noon);
    disarm(clock);
    EXPECT_EQ(clock.countdown_minutes, 4);
    EXPECT_EQ(clock.countdown_seconds, 30);
    for (int n = 0; n < 100; ++n) EXPECT_FALSE(tick(clock, ScheduleMode::AfterMinutes, noon).show_countdown);
    arm(clock);
    for (int n = 1; n < 30; ++n) EXPECT_FALSE(tick(clock, ScheduleMode::AfterMinutes, noon).show_countdown);
    const TickResult step = tick(clock, ScheduleMode::AfterMinutes, noon);
    EXPECT_TRUE(step.show_countdown);
    EXPECT_EQ(step.countdown_display, 4);
}

TEST(Countdown, RestartAtNewMinutesKeepsTheSecondsLeft)
{
    ScheduleClock clock = countdown_of(5);
    arm(clock);
    for (int n = 0; n < 31; ++n) tick(clock, ScheduleMode::AfterMinutes, noon);
    disarm(clock);
    ASSERT_EQ(clock.countdown_seconds, 30);
    adjust_countdown(clock, -(10 - clock.countdown_minutes));
    ASSERT_EQ(clock.countdown_minutes, 10);
    arm(clock);
    EXPECT_EQ(ticks_until_due(clock), 30 + 60 * 10);
}

TEST(Countdown, StoppedInTheLastMinuteIsDueAtStart)
{
    ScheduleClock clock = countdown_of(1);
    arm(clock);
    for (int n = 0; n < 10; ++n) tick(clock, ScheduleMode::AfterMinutes, noon);
    disarm(clock);
    EXPECT_EQ(clock.countdown_minutes, 0);
    EXPECT_TRUE(due_at_start(clock, ScheduleMode::AfterMinutes, noon));
}

TEST(Countdown, ZeroMinutesIsDueOnFirstTick)
{
    ScheduleClock clock = countdown_of(0);
    arm(clock);
    const TickResult r = tick(clock, ScheduleMode::AfterMinutes, noon);
    EXPECT_TRUE(r.due);
    EXPECT_EQ(r.countdown_display, 1);
}
