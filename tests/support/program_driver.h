// Drives the real program from another process, the way a user would: starts the
// exe, finds its dialog and presses, reads and types into controls by their ids.
// Waits are bounded polls of a condition.
#ifndef TULVO_TEST_PROGRAM_DRIVER_H
#define TULVO_TEST_PROGRAM_DRIVER_H

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "tests/support/dialog_search.h"
#include "tests/support/test_helpers.h"

// Paths of the build under test, found from this test exe's own location.
std::string program_exe(const char* name); // e.g. "tulvo_recorded.exe"
std::string system_calls_file();           // written by tulvo_recorded.exe (recorded_files.h)
std::string settings_at_request_file();    // the settings file as the last shutdown request found it
std::string program_settings_file();       // <AppData>\tulvo_recorded\tulvo_recorded.ini

// The lines of system_calls_file() that begin with one of kinds ("" when none),
// e.g. {"keep-awake "}; the shutdown lines, and the line one planned request of
// these flags makes once the clock is disarmed.
std::string recorded_lines(std::initializer_list<const char*> kinds);
std::string recorded_shutdowns();
std::string shutdown_line(unsigned flags);
// Deletes what tulvo_recorded.exe recorded.
void forget_recorded_calls();

// The clocks of every tulvo_recorded.exe started while this lives (made before the
// program starts): the real ones, moved on by advance().
class ProgramClock {
public:
    ProgramClock();
    ~ProgramClock();
    ProgramClock(const ProgramClock&) = delete;
    ProgramClock& operator=(const ProgramClock&) = delete;
    void advance(long long ms);

private:
    HANDLE mapping_;
    struct RecordedClock* clock_;
};

// Whole text of a file ("" when missing).
std::string file_text(const std::string& path);
bool file_exists(const std::string& path);

class Program {
public:
    explicit Program(const char* exe_name = "tulvo_recorded.exe");
    // Started from a copy of the test build at exe_path.
    explicit Program(const std::string& exe_path);
    ~Program(); // ends the process if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return process_ != nullptr; }
    // The main dialog (shown or hidden); null when it did not appear in time.
    HWND dialog(DWORD timeout_ms = 20000);
    HWND item(int id);

    // A click that returns when the command has run; one that finds a box open
    // instead fails the test within seconds.
    void click(int id);
    // A click that may open a message box: the driver must not wait for it.
    void post_click(int id);
    void post_to_dialog(UINT message, WPARAM wparam, LPARAM lparam);

    bool checked(int id);
    bool enabled(int id);
    bool visible(int id);
    bool window_visible();
    std::string text(int id);
    void set_text(int id, const char* text);
    // Typed at the end of the field's text.
    void type(int id, char character, int times = 1);

    // Makes the tab control switch as a user click would (it notifies the dialog).
    void select_tab(int index);
    int selected_tab();
    std::wstring tab_label(int index);
    // A control's text as UTF-16.
    std::wstring wide_text(int id);
    // One press on the upper or lower arrow of an up-down control.
    void spin(int id, bool up);
    // One timer message, handled before this returns (a box it opens must not be waited
    // for: post_tick), unless the program's own timer has fired first and it has ended.
    void tick();
    void post_tick();
    // Returns once the window has handled every command sent or posted before.
    void sync();
    // Stops the window's thread until thaw(), as a thread busy elsewhere would be.
    void freeze();
    void thaw();

    // The next visible message box owned by the dialog, once it shows its text; null
    // when none came in time.
    HWND wait_box(DWORD timeout_ms = 10000);
    // The same, the box that says text, among others that may be open.
    HWND wait_box_saying(const std::wstring& text, DWORD timeout_ms = 10000);

    // True when the process ended within timeout_ms; code receives its exit code.
    bool wait_exit(DWORD timeout_ms, DWORD* code = nullptr);
    bool running();

private:
    HANDLE process_ = nullptr; // with the rights to read and write its memory
    DWORD process_id_ = 0;
    HWND dialog_ = nullptr;
    HANDLE frozen_ = nullptr;
};

// A message box's buttons (its text: box_text). (Its icon handle means nothing in another
// process; icons are checked in-process by the UI tests.)
bool box_has_cancel(HWND box);
void press_box_button(HWND box, int button);

#endif
