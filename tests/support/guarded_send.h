// Driving windows without hanging: a message that is not handled in time fails the
// test, naming what is on screen instead.
#ifndef TULVO_TEST_GUARDED_SEND_H
#define TULVO_TEST_GUARDED_SEND_H

#include <windows.h>

#include <string>

// Sends a message to a window (of this process or another) and waits at most a few
// seconds for it to be handled. A message that is not handled by then (a message box
// nobody expected is open, or the thread hangs) fails the test, naming the visible
// dialogs and boxes of the window's process; the result is then 0.
LRESULT send_or_fail(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// The same through the wide function (texts of WM_GETTEXT and the like as UTF-16).
LRESULT send_wide_or_fail(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// The same, except that a window gone meanwhile is no failure: a timer message sent
// by a test may find that the window's own timer has fired the action and ended it.
LRESULT send_unless_gone(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

// The captions and texts of the visible dialogs and message boxes of process, for a failure message.
std::string visible_dialogs(DWORD process);

#endif
