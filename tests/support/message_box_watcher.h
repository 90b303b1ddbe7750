// Watches this process for message boxes while a test runs, records each one and
// answers it, so that code which shows boxes can be tested against the real API.
#ifndef TULVO_TEST_MESSAGE_BOX_WATCHER_H
#define TULVO_TEST_MESSAGE_BOX_WATCHER_H

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Texts as UTF-16, as the box shows them whatever the ANSI code page.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    HWND owner;
    bool error_icon;
    bool question_icon;
    bool information_icon;
    bool has_cancel;
};

class MessageBoxWatcher {
public:
    // answer: the button pressed in every box (IDOK or IDCANCEL).
    explicit MessageBoxWatcher(int answer = IDOK);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenBox> boxes();
    void set_answer(int answer);

private:
    void watch();
    std::atomic<bool> stop_{false};
    std::atomic<int> answer_;
    std::mutex mutex_;
    std::vector<SeenBox> boxes_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

// Asserts that exactly one box was shown: text, empty caption, error icon, OK only, owner.
void expect_one_error_box(const std::vector<SeenBox>& boxes, const std::wstring& text, HWND owner);

// The program's text n, and the same followed by a value of the ANSI code page, as
// a box shows them.
std::wstring text_of(int n);
std::wstring text_with_value(int n, const std::string& value);

// The code page 1251 bytes of a UTF-8 literal: Russian test data as the program holds it.
std::string cp1251(const char* utf8);

#endif
