#include "tests/support/main_window_driver.h"

#include <thread>

#include "app/resource.h"
#include "tests/support/test_helpers.h"
#include "ui/main_window.h"

namespace {

struct Search {
    HWND found;
};

BOOL CALLBACK find_main_window(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && GetDlgItem(window, IDC_TABS) != nullptr) {
        reinterpret_cast<Search*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND main_window()
{
    Search search{nullptr};
    EnumWindows(find_main_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
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
