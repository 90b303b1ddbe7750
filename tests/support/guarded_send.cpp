#include "tests/support/guarded_send.h"

#include <gtest/gtest.h>

#include "tests/support/dialog_search.h"

namespace {

const UINT handled_within_ms = 5000;

enum class Gone { Fails, Allowed };

LRESULT send_guarded(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool wide, Gone gone = Gone::Fails)
{
    DWORD_PTR result = 0;
    const LRESULT handled =
        wide ? SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, handled_within_ms, &result)
             : SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, handled_within_ms, &result);
    if (handled != 0) return static_cast<LRESULT>(result);
    DWORD process = 0;
    if (!IsWindow(window) || GetWindowThreadProcessId(window, &process) == 0) {
        if (gone == Gone::Fails) ADD_FAILURE() << "message " << message << " sent to a window that is gone";
        return 0;
    }
    ADD_FAILURE() << "message " << message << " not handled within " << handled_within_ms
                  << " ms; on screen:" << visible_dialogs(process);
    return 0;
}

} // namespace

std::string visible_dialogs(DWORD process)
{
    std::string found;
    for (HWND dialog : dialogs_of(process)) {
        if (!IsWindowVisible(dialog)) continue;
        found += " [" + window_text(dialog);
        if (const HWND box_text = GetDlgItem(dialog, MESSAGE_BOX_TEXT_ID)) found += ": " + window_text(box_text);
        found += "]";
    }
    return found.empty() ? " nothing" : found;
}

LRESULT send_or_fail(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return send_guarded(window, message, wparam, lparam, false);
}

LRESULT send_wide_or_fail(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return send_guarded(window, message, wparam, lparam, true);
}

LRESULT send_unless_gone(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return send_guarded(window, message, wparam, lparam, false, Gone::Allowed);
}
