// The test side of the fake mail client (fake_mapi32.h): scripts it for one test
// and reads back the calls it received.
#ifndef TULVO_TEST_FAKE_MAPI_CONTROL_H
#define TULVO_TEST_FAKE_MAPI_CONTROL_H

#include <windows.h>

#include <string>
#include <vector>

#include "tests/mail/fake_mapi32.h"

class FakeMapi {
public:
    // A fresh, empty call log of this process; every entry point succeeds.
    FakeMapi();
    // Unscripts the double and deletes the log.
    ~FakeMapi();
    FakeMapi(const FakeMapi&) = delete;
    FakeMapi& operator=(const FakeMapi&) = delete;

    // Comma-separated entry point names that are to fail from now on.
    void fail(const char* entries);
    // Called inside every entry point; nullptr for none.
    void on_call(FakeMapiCallback callback);

    // Every call so far, one log line each.
    std::vector<std::string> calls() const;
    // The entry point names of calls(), in order.
    std::vector<std::string> entries() const;

private:
    std::string log_path_;
};

// Whether a module named "mapi32.dll" is loaded in this process.
bool mapi32_loaded();

// Full path of the loaded "mapi32.dll" ("" when none is loaded).
std::string loaded_mapi32_path();

// The folder of the test program, ending in a backslash.
std::string test_program_folder();

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
