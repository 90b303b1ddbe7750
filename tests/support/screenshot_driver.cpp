// Puts the running program into the states that scripts/screenshots photographs.
// Usage (under Wine):
//   screenshot_driver start <exe>   starts the program, waits for its window
//   screenshot_driver tab <n>       shows tab n, with sample mail fields on tab 1
//   screenshot_driver smtp          opens the SMTP settings dialog with sample values
//   screenshot_driver close         closes the dialogs and the program
// Every command but close prints the shown window's rectangle as WxH+X+Y.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "app/resource.h"

namespace {

const DWORD timeout_ms = 20000;

struct Search {
    HWND owner;
    int child_id;
    HWND found;
};

BOOL CALLBACK find_dialog(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    char class_name[16] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (lstrcmpA(class_name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (GetWindow(window, GW_OWNER) != search->owner || GetDlgItem(window, search->child_id) == nullptr) return TRUE;
    search->found = window;
    return FALSE;
}

HWND wait_dialog(HWND owner, int child_id)
{
    Search search{owner, child_id, nullptr};
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout_ms; Sleep(20)) {
        EnumWindows(find_dialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
    }
    return nullptr;
}

HWND main_dialog() { return wait_dialog(nullptr, IDC_TABS); }

int print_rect(HWND window)
{
    if (window == nullptr) {
        std::fprintf(stderr, "window not found\n");
        return 1;
    }
    // Let the window finish painting before it is photographed.
    UpdateWindow(window);
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}

void set_text(HWND dialog, int id, const char* text)
{
    SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int start(const char* exe)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return 1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return print_rect(main_dialog());
}

int show_tab(int index)
{
    const HWND dialog = main_dialog();
    if (dialog == nullptr) return 1;
    SendDlgItemMessageA(dialog, IDC_TABS, TCM_SETCURFOCUS, index, 0);
    if (index == 1) {
        set_text(dialog, IDC_MAIL_TO, "admin@example.com");
        set_text(dialog, IDC_MAIL_SUBJECT, "tulvo");
        set_text(dialog, IDC_MAIL_BODY, "Server room PC\r\nshutting down");
    }
    return print_rect(dialog);
}

int open_smtp()
{
    const HWND dialog = main_dialog();
    if (dialog == nullptr) return 1;
    PostMessageA(GetDlgItem(dialog, IDC_CONFIGURE_SMTP), BM_CLICK, 0, 0);
    const HWND smtp = wait_dialog(dialog, IDC_SMTP_PORT);
    if (smtp == nullptr) return print_rect(nullptr);
    set_text(smtp, IDC_SMTP_SERVER, "smtp.example.com");
    set_text(smtp, IDC_SMTP_PORT, "25");
    set_text(smtp, IDC_SMTP_MAILBOX, "pc@example.com");
    set_text(smtp, IDC_SMTP_LOGIN, "pc");
    set_text(smtp, IDC_SMTP_PASSWORD, "secret");
    return print_rect(smtp);
}

int close_all()
{
    const HWND dialog = main_dialog();
    if (dialog == nullptr) return 1;
    Search search{dialog, IDC_SMTP_PORT, nullptr};
    EnumWindows(find_dialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) SendMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(dialog, WM_COMMAND, IDC_EXIT, 0);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "start") == 0) return start(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "tab") == 0) return show_tab(argv[2][0] - '0');
    if (argc >= 2 && std::strcmp(argv[1], "smtp") == 0) return open_smtp();
    if (argc >= 2 && std::strcmp(argv[1], "close") == 0) return close_all();
    std::fprintf(stderr, "usage: screenshot_driver start <exe> | tab <n> | smtp | close\n");
    return 2;
}
