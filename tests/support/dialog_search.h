// Finding the program's dialogs and message boxes among the top-level windows,
// in this process or another one.
#ifndef TULVO_TEST_DIALOG_SEARCH_H
#define TULVO_TEST_DIALOG_SEARCH_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The static that holds a message box's text.
constexpr int MESSAGE_BOX_TEXT_ID = 0xFFFF;

// The top-level dialog windows (class "#32770") of process, shown or hidden.
std::vector<HWND> dialogs_of(DWORD process);

// The first of dialogs_of(process) for which matches holds; null when none does.
HWND find_dialog(DWORD process, const std::function<bool(HWND)>& matches);

// The text of a window of any process (WM_GETTEXT: GetWindowText gives nothing
// across processes), in the ANSI code page or as UTF-16; "" from a hung window.
std::string window_text(HWND window);
std::wstring wide_window_text(HWND window);

// A window's text as UTF-16 read from the window itself rather than asked of its
// thread, which may be busy (for windows that keep their text there: boxes, statics).
std::wstring stored_window_text(HWND window);
// A message box's text (the static 0xFFFF); "" until the box has it.
std::wstring box_text(HWND box);

#endif
