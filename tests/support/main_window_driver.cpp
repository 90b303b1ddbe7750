#include "tests/support/main_window_driver.h"

#include <gtest/gtest.h>

#include <thread>

#include "app/resource.h"
#include "tests/support/dialog_search.h"
#include "tests/support/guarded_send.h"
#include "tests/support/test_helpers.h"
#include "ui/main_window.h"

namespace {

const DWORD end_within_ms = 5000;

HWND main_window()
{
    return find_dialog(GetCurrentProcessId(), [](HWND dialog) { return GetDlgItem(dialog, IDC_TABS) != nullptr; });
}

// A script that left the window (or a box over it) open fails its test, and every
// dialog of the process is closed so that the next test can run.
void end_left_open()
{
    if (wait_for([] { return main_window() == nullptr; }, end_within_ms)) return;
    ADD_FAILURE() << "the main window was left open; on screen:" << visible_dialogs(GetCurrentProcessId());
    while (!wait_for([] { return main_window() == nullptr; }, 100))
        for (HWND dialog : dialogs_of(GetCurrentProcessId())) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

INT_PTR run_window_driven_by(HANDLE show_event, const std::function<void(HWND)>& script)
{
    std::thread driver([&] {
        HWND window = nullptr;
        if (wait_for([&] { return (window = main_window()) != nullptr && IsWindowVisible(window); }))
            script(window);
        else
            ADD_FAILURE() << "the main window did not show; on screen:" << visible_dialogs(GetCurrentProcessId());
        end_left_open();
    });
    const INT_PTR end_value = run_main_window(show_event);
    driver.join();
    // A firing ends the loop with a quit message; it must not end the next test's loop.
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return end_value;
}
