#include "tests/support/dialog_search.h"

namespace {

struct Search {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_dialog(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char class_name[16] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (process == search->process && lstrcmpA(class_name, "#32770") == 0) search->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> dialogs_of(DWORD process)
{
    Search search{process, {}};
    EnumWindows(collect_dialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND find_dialog(DWORD process, const std::function<bool(HWND)>& matches)
{
    for (HWND dialog : dialogs_of(process))
        if (matches(dialog)) return dialog;
    return nullptr;
}

namespace {

const UINT text_within_ms = 1000;
const int longest_text = 1024;

} // namespace

std::string window_text(HWND window)
{
    char text[longest_text] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, longest_text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        text_within_ms, nullptr);
    return text;
}

std::wstring wide_window_text(HWND window)
{
    wchar_t text[longest_text] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, longest_text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        text_within_ms, nullptr);
    return text;
}

std::wstring stored_window_text(HWND window)
{
    wchar_t text[longest_text] = {};
    InternalGetWindowText(window, text, longest_text);
    return text;
}

std::wstring box_text(HWND box) { return stored_window_text(GetDlgItem(box, MESSAGE_BOX_TEXT_ID)); }
