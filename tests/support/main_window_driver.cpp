#include "tests/support/main_window_driver.h"

#include <thread>

#include "app/resource.h"
#include "tests/support/dialog_search.h"
#include "tests/support/test_helpers.h"
#include "ui/main_window.h"

namespace {

HWND main_window()
{
    return find_dialog(GetCurrentProcessId(), [](HWND dialog) { return GetDlgItem(dialog, IDC_TABS) != nullptr; });
}

} // namespace

INT_PTR run_window_driven_by(HANDLE show_event, const std::function<void(HWND)>& script)
{
    std::thread driver([&] {
        HWND window = nullptr;
        if (wait_for([&] { return (window = main_window()) != nullptr && IsWindowVisible(window); })) script(window);
    });
    const INT_PTR end_value = run_main_window(show_event);
    driver.join();
    // A firing ends the loop with a quit message; it must not end the next test's loop.
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return end_value;
}
