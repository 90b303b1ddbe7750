// The program's entry: the right to shut down, the settings, one instance per
// session, the main window, the settings saved, the exit code.
#include <windows.h>
#include <commctrl.h>

#include "platform/app_instance.h"
#include "app/message_texts.h"
#include "platform/system_library.h"
#include "app/resource.h"
#include "scheduler/firing.h"
#include "settings/settings_file.h"
#include "ui/main_window.h"

namespace {

// Exit codes besides the main window's end value.
const int EXIT_NO_PRIVILEGE = -1;
const int EXIT_NO_SHOW_EVENT = 0;
const int EXIT_SIGNALLED_RUNNING = 1;

// Set by a second start; a hidden first instance shows itself again.
const char show_event_name[] = "VarkoShowEvent";

// AdjustTokenPrivileges also succeeds when the privilege is not held; only the
// last error then tells.
bool enable_shutdown_privilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    const bool enabled = GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return enabled;
}

// The tab, date picker and up-down classes the main window's template uses.
void register_common_controls()
{
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
}

// True when another instance holds the event; it has been set.
bool signal_running_instance()
{
    HANDLE running = OpenEventA(EVENT_MODIFY_STATE, FALSE, show_event_name);
    if (running == nullptr) return false;
    SetEvent(running);
    CloseHandle(running);
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    keep_dll_search_to_system_folder();
    app_instance = instance;
    if (!enable_shutdown_privilege()) {
        show_text(nullptr, IDS_NO_RIGHTS, MB_ICONERROR);
        return EXIT_NO_PRIVILEGE;
    }
    load_settings();
    register_common_controls();
    if (signal_running_instance()) return EXIT_SIGNALLED_RUNNING;

    HANDLE show_event = CreateEventA(nullptr, FALSE, FALSE, show_event_name);
    if (show_event == nullptr) {
        MessageBoxW(nullptr, L"Cannot open show event", L"Error", MB_ICONERROR);
        return EXIT_NO_SHOW_EVENT;
    }
    // Two starts at the same moment both miss the open above; the later one finds
    // the event made by the other here.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        SetEvent(show_event);
        CloseHandle(show_event);
        return EXIT_SIGNALLED_RUNNING;
    }
    const INT_PTR end_value = run_main_window(show_event);
    // After the firing's request Windows may end the process in the middle of a write.
    if (!shutdown_requested()) save_settings();
    CloseHandle(show_event);
    return static_cast<int>(end_value);
}
