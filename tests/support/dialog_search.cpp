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
