#ifndef TULVO_TEST_OWNER_WINDOW_H
#define TULVO_TEST_OWNER_WINDOW_H

#include <windows.h>

// A plain window to own the message boxes of a test. on_box, when given, is called
// from inside every modal message box it owns (when the box disables its owner),
// as the main window's timer and commands are served there.
class OwnerWindow {
public:
    explicit OwnerWindow(void (*on_box)() = nullptr);
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_;
};

#endif
