#include "tests/support/message_box_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/message_texts.h"
#include "tests/support/dialog_search.h"

namespace {

// A message box is a dialog with the text static 0xFFFF and no edit field (the SMTP
// settings dialog's labels carry 0xFFFF too).
bool is_message_box(HWND window)
{
    return GetDlgItem(window, MESSAGE_BOX_TEXT_ID) != nullptr &&
           FindWindowExA(window, nullptr, "Edit", nullptr) == nullptr;
}

bool shows_icon(HWND box, LPCSTR icon)
{
    const HICON expected = LoadIconA(nullptr, icon);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        char class_name[16] = {};
        GetClassNameA(child, class_name, sizeof class_name);
        if (lstrcmpiA(class_name, "Static") == 0 && shown != nullptr && shown == expected) return true;
    }
    return false;
}

} // namespace

MessageBoxWatcher::MessageBoxWatcher(int answer) : answer_(answer), thread_([this] { watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher()
{
    stop_ = true;
    thread_.join();
}

std::vector<SeenBox> MessageBoxWatcher::boxes()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

void MessageBoxWatcher::set_answer(int answer) { answer_ = answer; }

void MessageBoxWatcher::watch()
{
    while (!stop_) {
        answered_.erase(std::remove_if(answered_.begin(), answered_.end(), [](HWND w) { return !IsWindow(w); }),
                        answered_.end());
        for (HWND box : dialogs_of(GetCurrentProcessId())) {
            if (!IsWindowVisible(box) || !is_message_box(box)) continue;
            if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) continue;
            SeenBox seen;
            seen.text = box_text(box);
            if (seen.text.empty()) continue; // not whole yet
            seen.caption = stored_window_text(box);
            seen.owner = GetWindow(box, GW_OWNER);
            seen.error_icon = shows_icon(box, IDI_HAND);
            seen.question_icon = shows_icon(box, IDI_QUESTION);
            seen.information_icon = shows_icon(box, IDI_ASTERISK);
            seen.has_cancel = GetDlgItem(box, IDCANCEL) != nullptr;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(seen);
            }
            answered_.push_back(box);
            const int button = seen.has_cancel ? answer_.load() : IDOK;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string cp1251(const char* utf8)
{
    wchar_t wide[1024];
    char narrow[1024];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    WideCharToMultiByte(1251, 0, wide, n, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

std::wstring text_of(int n) { return load_text(n); }

std::wstring text_with_value(int n, const std::string& value)
{
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_ACP, 0, value.c_str(), -1, wide, 1024);
    return text_of(n) + wide;
}

void expect_one_error_box(const std::vector<SeenBox>& boxes, const std::wstring& text, HWND owner)
{
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, L"");
    EXPECT_TRUE(boxes[0].error_icon);
    EXPECT_FALSE(boxes[0].has_cancel);
    EXPECT_EQ(boxes[0].owner, owner);
}
