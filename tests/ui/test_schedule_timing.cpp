// The schedule in the main window against a clock the test moves: the test sends
// the timer messages and says how much time passed, as a real PC's timer, sleep
// and a busy thread would have it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "app/message_texts.h"
#include "app/resource.h"
#include "platform/system_calls.h"
#include "platform/system_time.h"
#include "tests/support/test_helpers.h"
#include "tests/support/guarded_send.h"
#include "tests/support/main_window_driver.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/system_double.h"
#include "ui/main_window.h"

namespace {

const std::uint64_t minute_ms = 60000;

void command(HWND window, int id) { send_or_fail(window, WM_COMMAND, id); }

// Ends the window unless a firing has ended it already, so that a schedule that
// did not fire does not go on under the real timer.
void end(HWND window) { PostMessageA(window, WM_COMMAND, IDC_EXIT, 0); }

// One timer message, handled before this returns (with any box it opens answered),
// unless the window's own timer has fired the action first and ended the window.
void tick(HWND window) { send_unless_gone(window, WM_TIMER); }

bool idle(HWND window)
{
    for (int id : SCHEDULE_INPUTS)
        if (!control_enabled(window, id)) return false;
    return control_enabled(window, IDC_START) && !control_enabled(window, IDC_STOP);
}

// One press on the upper arrow of an up-down control.
void spin_up(HWND window, int id)
{
    const HWND control = GetDlgItem(window, id);
    RECT rect;
    GetClientRect(control, &rect);
    const LPARAM point = MAKELPARAM(rect.right / 2, rect.bottom / 4);
    send_or_fail(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
    send_or_fail(control, WM_LBUTTONUP, 0, point);
}

enum class Schedule { OneMinuteCountdown, TargetTwoMinutesAhead };

std::uint64_t as_ms(const TargetTime& t)
{
    const SYSTEMTIME time = system_time_of(t);
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    return (static_cast<std::uint64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime) / 10000;
}

// How far to move the clock on to reach half a minute into the minute of target.
std::uint64_t until_into(TargetTime target)
{
    target.second = 30;
    target.milliseconds = 0;
    return as_ms(target) - as_ms(system_local_time());
}

// How far to move the clock on so that the schedule is due, plus late_by_ms: half
// a minute into the target minute, or the countdown's end.
std::uint64_t until_due(Schedule schedule, std::uint64_t late_by_ms = 0)
{
    if (schedule == Schedule::OneMinuteCountdown) return 61000 + late_by_ms;
    return until_into(schedule_clock.target) + late_by_ms;
}

// What the date picker does when the user picks a date: it shows the date and
// tells the window.
void pick_date(HWND window, SYSTEMTIME date)
{
    const HWND picker = GetDlgItem(window, IDC_TARGET_DATE);
    send_or_fail(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = IDC_TARGET_DATE;
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = date;
    send_or_fail(window, WM_NOTIFY, IDC_TARGET_DATE, reinterpret_cast<LPARAM>(&change));
}

SYSTEMTIME days_from_now(int days)
{
    const TargetTime now = system_local_time();
    SYSTEMTIME date{now.year, now.month, now.day_of_week, now.day, 12, 0, 0, 0};
    FILETIME file;
    SystemTimeToFileTime(&date, &file);
    const std::uint64_t moved = (static_cast<std::uint64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime) +
                                static_cast<std::uint64_t>(days) * 24 * 3600 * 10000000ull;
    file.dwLowDateTime = static_cast<DWORD>(moved);
    file.dwHighDateTime = static_cast<DWORD>(moved >> 32);
    FileTimeToSystemTime(&file, &date);
    return date;
}

// Sets the schedule up and starts it.
void start(HWND window, Schedule schedule)
{
    if (schedule == Schedule::OneMinuteCountdown) {
        CheckRadioButton(window, IDC_AT_TIME, IDC_AFTER_MINUTES, IDC_AFTER_MINUTES);
        spin_up(window, IDC_COUNTDOWN_SPIN);
    } else {
        spin_up(window, IDC_TARGET_SPIN);
        spin_up(window, IDC_TARGET_SPIN);
    }
    command(window, IDC_START);
}

class ScheduleTiming : public testing::Test {
protected:
    void SetUp() override
    {
        reset_system_double();
        show_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    }
    void TearDown() override
    {
        CloseHandle(show_event);
        reset_system_double();
    }
    HANDLE show_event = nullptr;
};

} // namespace

TEST_F(ScheduleTiming, SecondsOfAFrozenThreadStillCountAndTheCountdownEndsOnTime)
{
    MessageBoxWatcher watcher;
    std::size_t requests_at_59_s = 99;
    std::size_t requests_at_61_s = 99;
    run_window_driven_by(show_event, [&](HWND window) {
        start(window, Schedule::OneMinuteCountdown);
        // The window's thread stops for 30 s, then finds one timer message.
        const HANDLE ui = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr));
        SuspendThread(ui);
        advance_clock(30000);
        ResumeThread(ui);
        CloseHandle(ui);
        tick(window);
        advance_clock(29000);
        tick(window);
        requests_at_59_s = shutdown_requests().size();
        advance_clock(2000);
        tick(window);
        requests_at_61_s = shutdown_requests().size();
        end(window);
    });
    EXPECT_EQ(requests_at_59_s, 0u);
    EXPECT_EQ(requests_at_61_s, 1u);
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST_F(ScheduleTiming, AnActionFoundDueInTimeFiresWithoutAsking)
{
    for (Schedule schedule : {Schedule::OneMinuteCountdown, Schedule::TargetTwoMinutesAhead}) {
        reset_system_double();
        MessageBoxWatcher watcher;
        std::size_t requests_before = 99;
        std::size_t requests_after = 99;
        run_window_driven_by(show_event, [&](HWND window) {
            start(window, schedule);
            tick(window);
            requests_before = shutdown_requests().size();
            advance_clock(until_due(schedule));
            tick(window);
            requests_after = shutdown_requests().size();
            end(window);
        });
        EXPECT_EQ(requests_before, 0u);
        EXPECT_EQ(requests_after, 1u);
        EXPECT_TRUE(watcher.boxes().empty());
    }
}

TEST_F(ScheduleTiming, AnActionFoundDueAMinuteLateShowsTheWindowAndAsks)
{
    struct Case {
        Schedule schedule;
        std::uint64_t late_by_ms; // after the due moment
        int answer;
    } cases[] = {
        {Schedule::OneMinuteCountdown, minute_ms, IDCANCEL},
        {Schedule::OneMinuteCountdown, 60 * minute_ms, IDOK},
        {Schedule::TargetTwoMinutesAhead, minute_ms, IDCANCEL},
        {Schedule::TargetTwoMinutesAhead, 3 * minute_ms, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "late by " << c.late_by_ms << " ms, answer " << c.answer);
        reset_system_double();
        MessageBoxWatcher watcher(c.answer);
        HWND main = nullptr;
        bool shown_again = false;
        bool idle_after = false;
        std::size_t requests = 99;
        run_window_driven_by(show_event, [&](HWND window) {
            main = window;
            start(window, c.schedule);
            command(window, IDC_HIDE);
            advance_clock(until_due(c.schedule, c.late_by_ms));
            tick(window);
            // The window's own timer may have asked first: the question answered and handled.
            wait_for([&] { return watcher.boxes().size() == 2; });
            if (c.answer == IDOK) return; // fired: the loop ends
            wait_for([&] { return IsWindowEnabled(window) != FALSE; });
            send_or_fail(window, WM_NULL);
            shown_again = IsWindowVisible(window) != FALSE;
            idle_after = idle(window);
            requests = shutdown_requests().size();
            tick(window);
            end(window);
        });
        if (c.answer == IDOK) requests = shutdown_requests().size();
        const std::vector<SeenBox> boxes = watcher.boxes();
        ASSERT_EQ(boxes.size(), 2u); // the hint of Hide, then the question
        EXPECT_EQ(boxes[1].text, load_text(IDS_ACT_NOW));
        EXPECT_TRUE(boxes[1].question_icon);
        EXPECT_TRUE(boxes[1].has_cancel);
        EXPECT_EQ(boxes[1].owner, main);
        if (c.answer == IDOK) {
            EXPECT_EQ(requests, 1u);
        } else {
            EXPECT_EQ(requests, 0u);
            EXPECT_TRUE(shown_again);
            EXPECT_TRUE(idle_after);
        }
        EXPECT_EQ(shutdown_requests().size(), requests) << "a later tick changed nothing";
    }
}

TEST_F(ScheduleTiming, ThePcIsKeptAwakeFromStartUntilStopOrTheFiring)
{
    MessageBoxWatcher watcher;
    std::vector<bool> after_start, after_stop, after_firing;
    run_window_driven_by(show_event, [&](HWND window) {
        start(window, Schedule::OneMinuteCountdown);
        after_start = keep_awake_calls();
        command(window, IDC_STOP);
        after_stop = keep_awake_calls();
        command(window, IDC_START);
        advance_clock(61000);
        tick(window);
        after_firing = keep_awake_calls();
        end(window);
    });
    EXPECT_EQ(after_start, (std::vector<bool>{true}));
    EXPECT_EQ(after_stop, (std::vector<bool>{true, false}));
    EXPECT_EQ(after_firing, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(keep_awake_calls().back(), false) << "the window's end lets the PC sleep again";
    EXPECT_EQ(shutdown_requests().size(), 1u);
}

TEST_F(ScheduleTiming, APickedDateIsTheDayTheActionComes)
{
    MessageBoxWatcher watcher;
    const SYSTEMTIME picked = days_from_now(40); // another month, a day beyond 12 more often than not
    std::size_t requests_the_day_before = 99;
    std::size_t requests_on_the_day = 99;
    run_window_driven_by(show_event, [&](HWND window) {
        pick_date(window, picked);
        start(window, Schedule::TargetTwoMinutesAhead);
        TargetTime expected = schedule_clock.target; // the time as stepped; the date as picked
        expected.year = picked.wYear;
        expected.month = picked.wMonth;
        expected.day = picked.wDay;
        advance_clock(until_into(expected) - 24 * 3600 * 1000ull);
        tick(window);
        requests_the_day_before = shutdown_requests().size();
        advance_clock(until_into(expected));
        tick(window);
        requests_on_the_day = shutdown_requests().size();
        end(window);
    });
    EXPECT_EQ(requests_the_day_before, 0u);
    EXPECT_EQ(requests_on_the_day, 1u);
    EXPECT_TRUE(watcher.boxes().empty()) << "on time: nothing asked";
}
