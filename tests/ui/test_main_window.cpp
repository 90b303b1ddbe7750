// The main window run in this process, so that its message boxes can be inspected
// where their icons mean something: the Hide hint and the Start question.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/resource.h"
#include "tests/support/guarded_send.h"
#include "tests/support/main_window_driver.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/system_double.h"
#include "tests/support/test_helpers.h"

namespace {

class MainWindowBoxes : public testing::Test {
protected:
    void SetUp() override
    {
        show_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        reset_system_double();
    }
    void TearDown() override { CloseHandle(show_event); }
    HANDLE show_event = nullptr;
};

} // namespace

TEST_F(MainWindowBoxes, HideShowsTheHintAsInformationOwnedByTheWindow)
{
    MessageBoxWatcher watcher;
    HWND shown_window = nullptr;
    bool hidden_after_hint = false;
    bool shown_after_signal = false;
    const INT_PTR end_value = run_window_driven_by(show_event, [&](HWND window) {
        shown_window = window;
        PostMessageA(window, WM_COMMAND, IDC_HIDE, 0);
        // The hint answered, the owner is enabled again; the Hide command then resets
        // the event, so a signal sent before it has returned would be lost.
        wait_for([&] { return !watcher.boxes().empty() && IsWindowEnabled(window); });
        SendMessageA(window, WM_NULL, 0, 0);
        hidden_after_hint = !IsWindowVisible(window);
        SetEvent(show_event);
        send_or_fail(window, WM_TIMER);
        shown_after_signal = IsWindowVisible(window) != FALSE;
        PostMessageA(window, WM_COMMAND, IDC_EXIT, 0);
    });
    EXPECT_EQ(end_value, IDC_EXIT);
    EXPECT_TRUE(hidden_after_hint);
    EXPECT_TRUE(shown_after_signal);
    const auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text_of(IDS_HIDE_HINT));
    EXPECT_EQ(boxes[0].caption, L"");
    EXPECT_TRUE(boxes[0].information_icon);
    EXPECT_FALSE(boxes[0].has_cancel);
    EXPECT_EQ(boxes[0].owner, shown_window);
}

TEST_F(MainWindowBoxes, StartOnADueScheduleAsksAQuestionAndCancelChangesNothing)
{
    MessageBoxWatcher watcher(IDCANCEL);
    HWND shown_window = nullptr;
    bool idle_after = false;
    run_window_driven_by(show_event, [&](HWND window) {
        shown_window = window;
        PostMessageA(window, WM_COMMAND, IDC_START, 0);
        wait_for([&] { return !watcher.boxes().empty(); });
        wait_for([&] { return IsWindowEnabled(window) != FALSE; });
        SendMessageA(window, WM_NULL, 0, 0); // returns once the answer's command has run
        idle_after = control_enabled(window, IDC_START) && !control_enabled(window, IDC_STOP);
        for (int id : SCHEDULE_INPUTS) idle_after = idle_after && control_enabled(window, id);
        PostMessageA(window, WM_COMMAND, IDC_EXIT, 0);
    });
    const auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text_of(IDS_ACT_NOW));
    EXPECT_EQ(boxes[0].caption, L"");
    EXPECT_TRUE(boxes[0].question_icon);
    EXPECT_TRUE(boxes[0].has_cancel);
    EXPECT_EQ(boxes[0].owner, shown_window);
    EXPECT_TRUE(idle_after);
    EXPECT_TRUE(shutdown_requests().empty());
}

// Windows refusing the request twice is told, and the window stays, stopped.
TEST_F(MainWindowBoxes, ARequestRefusedTwiceShowsTextFiveAndTheWindowStaysStopped)
{
    MessageBoxWatcher watcher(IDOK);
    refuse_shutdown_requests(2);
    HWND shown_window = nullptr;
    bool startable = false;
    const INT_PTR end_value = run_window_driven_by(show_event, [&](HWND window) {
        shown_window = window;
        PostMessageA(window, WM_COMMAND, IDC_START, 0);
        wait_for([&] { return watcher.boxes().size() == 2 && IsWindowEnabled(window); });
        send_or_fail(window, WM_NULL);
        startable = IsWindowVisible(window) && control_enabled(window, IDC_START) &&
                    control_enabled(window, IDC_AFTER_MINUTES) && !control_enabled(window, IDC_STOP);
        PostMessageA(window, WM_COMMAND, IDC_EXIT, 0);
    });
    EXPECT_EQ(end_value, IDC_EXIT);
    EXPECT_TRUE(startable);
    const auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    expect_one_error_box({boxes[1]}, text_of(IDS_NO_RIGHTS), shown_window);
}
