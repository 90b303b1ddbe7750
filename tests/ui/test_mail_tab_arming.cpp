// The mail tab with the main window run in this process: arming over the fake mail
// client, whose logon window leaves the main window's commands live, and a test send
// over SMTP, whose waits let the window paint and nothing else.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/resource.h"
#include "settings/mail_settings.h"
#include "tests/support/fake_mapi_control.h"
#include "tests/support/guarded_send.h"
#include "tests/support/main_window_driver.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/servers/scripted_smtp_server.h"
#include "tests/support/system_double.h"
#include "tests/support/test_helpers.h"

namespace {

using Lines = std::vector<std::string>;

HWND tab_window; // the main window, for the fake client's callback

// What a click on an automatic check box does: flip it, then tell the window.
void click_box(HWND window, int id)
{
    CheckDlgButton(window, id, IsDlgButtonChecked(window, id) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

} // namespace

TEST(MailTabArming, UseMapiFlippedDuringTheLogonShowsThePreparedClientWhichTheDisarmingReleases)
{
    mail_settings = MailSettings{};
    mail_settings.use_mapi = true;
    mail_settings.recipient = "admin@example.org";
    FakeMapi fake;
    MessageBoxWatcher watcher;
    fake.on_call([](const char* entry) {
        if (lstrcmpA(entry, "MAPILogon") == 0) click_box(tab_window, IDC_USE_MAPI);
    });
    bool armed_shows_mapi = false;
    bool armed_configure_enabled = true;
    bool armed_use_mapi_enabled = true;
    Lines armed_calls;
    const HANDLE show_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    run_window_driven_by(show_event, [&](HWND window) {
        tab_window = window;
        click_box(window, IDC_SEND_MESSAGE);
        armed_shows_mapi = IsDlgButtonChecked(window, IDC_USE_MAPI) == BST_CHECKED;
        armed_configure_enabled = control_enabled(window, IDC_CONFIGURE_SMTP);
        armed_use_mapi_enabled = control_enabled(window, IDC_USE_MAPI);
        armed_calls = fake.entries();
        click_box(window, IDC_SEND_MESSAGE);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    CloseHandle(show_event);
    EXPECT_EQ(armed_calls, (Lines{"MAPILogon", "MAPIResolveName"}));
    EXPECT_TRUE(armed_shows_mapi);
    EXPECT_FALSE(armed_configure_enabled);
    EXPECT_FALSE(armed_use_mapi_enabled);
    EXPECT_EQ(fake.entries(), (Lines{"MAPILogon", "MAPIResolveName", "MAPIFreeBuffer", "MAPILogoff"}));
    EXPECT_FALSE(mapi32_loaded());
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_TRUE(shutdown_requests().empty());
}

// A test send awaiting a slow server: the window answers what is sent to it (it
// paints, and Windows does not show it as not responding), but a command sent to
// it meanwhile starts nothing.
TEST(MailTabArming, ATestSendAwaitingTheServerAnswersTheWindowsMessagesAndStartsNothing)
{
    SmtpScript slow;
    slow.greeting = reply_after(20000, "220 hi\r\n"); // once the test moves the clock on
    ScriptedSmtpServer server(slow);
    use_smtp_server("127.0.0.1", server.port());
    reset_system_double();
    MessageBoxWatcher watcher;
    bool answered = false;
    bool started = true;
    const HANDLE show_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    run_window_driven_by(show_event, [&](HWND window) {
        PostMessageA(window, WM_COMMAND, IDC_TEST_SEND, 0);
        wait_for([&] { return server.connected(); });
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result) != 0;
        send_or_fail(GetDlgItem(window, IDC_START), BM_CLICK);
        started = control_enabled(window, IDC_STOP) || !shutdown_requests().empty();
        advance_clock(20000);
        wait_for([&] { return !watcher.boxes().empty(); }); // the server closed after its greeting
        PostMessageA(window, WM_COMMAND, IDC_EXIT, 0);
    });
    CloseHandle(show_event);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(started);
    EXPECT_TRUE(shutdown_requests().empty());
}
