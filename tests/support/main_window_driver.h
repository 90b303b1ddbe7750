// Runs the program's main window inside a test process and drives it from a
// second thread, so that what it does in place (boxes, calls into the mail
// client) can be inspected.
#ifndef TULVO_TEST_MAIN_WINDOW_DRIVER_H
#define TULVO_TEST_MAIN_WINDOW_DRIVER_H

#include <windows.h>

#include <functional>

// Runs the main window on this thread until it ends, while script acts on it from
// another thread once it is shown; script must end it (or have it fire). A window
// still open a few seconds after the script fails the test and is closed. Returns
// its end value.
INT_PTR run_window_driven_by(HANDLE show_event, const std::function<void(HWND)>& script);

#endif
