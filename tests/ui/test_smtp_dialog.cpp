#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "app/resource.h"
#include "settings/mail_settings.h"
#include "tests/support/dialog_search.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/test_helpers.h"
#include "ui/smtp_dialog.h"

namespace {

const int field_ids[] = {IDC_SMTP_SERVER, IDC_SMTP_PORT, IDC_SMTP_MAILBOX, IDC_SMTP_LOGIN, IDC_SMTP_PASSWORD};

HWND find_smtp_dialog()
{
    const std::string caption = cp1251("Свойства почты");
    const auto is_smtp_dialog = [&](HWND dialog) {
        char text[64] = {};
        GetWindowTextA(dialog, text, sizeof text);
        return IsWindowVisible(dialog) && caption == text;
    };
    HWND found = nullptr;
    wait_for([&] { return (found = find_dialog(GetCurrentProcessId(), is_smtp_dialog)) != nullptr; });
    return found;
}

std::string field(HWND dialog, int id)
{
    char text[512] = {};
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void set_field(HWND dialog, int id, const std::string& text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void press(HWND dialog, int button) { PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0); }

struct DialogRun {
    INT_PTR end_value = 0;
    bool found = false;
    bool closed_by_the_test = true; // false: still open after the test's own closing, closed by force
};

// Runs the dialog modally on this thread while drive acts on it from a second thread;
// drive must close it.
DialogRun run_driven(const std::function<void(HWND)>& drive)
{
    DialogRun run;
    std::thread driver([&] {
        const HWND dialog = find_smtp_dialog();
        run.found = dialog != nullptr;
        if (!dialog) return;
        drive(dialog);
        if (!wait_for([&] { return !IsWindow(dialog); })) {
            run.closed_by_the_test = false;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    run.end_value = run_smtp_dialog(nullptr);
    driver.join();
    return run;
}

class SmtpDialog : public testing::Test {
protected:
    void SetUp() override { saved_ = mail_settings; }
    // No MessageBoxWatcher here: the dialog's labels carry the id a message box gives
    // its text, so the watcher would take the dialog for a box and answer it.
    void TearDown() override { mail_settings = saved_; }
    MailSettings saved_;
};

void expect_run(const DialogRun& run, INT_PTR end_value, const std::string& where)
{
    EXPECT_TRUE(run.found) << where;
    EXPECT_TRUE(run.closed_by_the_test) << where;
    EXPECT_EQ(run.end_value, end_value) << where;
}

} // namespace

TEST_F(SmtpDialog, OpensWithTheFiveStoredValues)
{
    mail_settings.smtp_server = "smtp.example.com";
    mail_settings.smtp_port = -7;
    mail_settings.sender_mailbox = "pc@example.com";
    mail_settings.smtp_login = cp1251("пользователь");
    mail_settings.smtp_password = "secret";
    std::string shown[5];
    const DialogRun run = run_driven([&](HWND dialog) {
        for (int i = 0; i < 5; ++i) shown[i] = field(dialog, field_ids[i]);
        press(dialog, IDCANCEL);
    });
    expect_run(run, IDCANCEL, "open");
    EXPECT_EQ(shown[0], "smtp.example.com");
    EXPECT_EQ(shown[1], "-7");
    EXPECT_EQ(shown[2], "pc@example.com");
    EXPECT_EQ(shown[3], cp1251("пользователь"));
    EXPECT_EQ(shown[4], "secret");
}

TEST_F(SmtpDialog, PortOfZeroOpensAsZeroAndEmptyTextsAsEmptyFields)
{
    mail_settings = MailSettings();
    std::string shown[5];
    const DialogRun run = run_driven([&](HWND dialog) {
        for (int i = 0; i < 5; ++i) shown[i] = field(dialog, field_ids[i]);
        press(dialog, IDOK);
    });
    expect_run(run, IDOK, "empty");
    EXPECT_EQ(shown[1], "0");
    for (int i : {0, 2, 3, 4}) EXPECT_EQ(shown[i], "") << field_ids[i];
    EXPECT_EQ(mail_settings.smtp_port, 0);
}

TEST_F(SmtpDialog, ApplyStoresAllFiveFields)
{
    mail_settings = MailSettings();
    const DialogRun run = run_driven([&](HWND dialog) {
        set_field(dialog, IDC_SMTP_SERVER, "mail.example.org");
        set_field(dialog, IDC_SMTP_PORT, "587");
        set_field(dialog, IDC_SMTP_MAILBOX, cp1251("я@example.org"));
        set_field(dialog, IDC_SMTP_LOGIN, "login");
        set_field(dialog, IDC_SMTP_PASSWORD, cp1251("пароль 1"));
        press(dialog, IDOK);
    });
    expect_run(run, IDOK, "apply");
    EXPECT_EQ(mail_settings.smtp_server, "mail.example.org");
    EXPECT_EQ(mail_settings.smtp_port, 587);
    EXPECT_EQ(mail_settings.sender_mailbox, cp1251("я@example.org"));
    EXPECT_EQ(mail_settings.smtp_login, "login");
    EXPECT_EQ(mail_settings.smtp_password, cp1251("пароль 1"));
}

TEST_F(SmtpDialog, PortTextIsTakenAsItsLeadingNumber)
{
    const struct {
        const char* text;
        std::int32_t port;
    } cases[] = {{"25", 25}, {" 25x", 25}, {"25x", 25}, {"abc", 0}, {"", 0}, {"-7", -7}, {"70000", 70000}};
    for (const auto& c : cases) {
        mail_settings.smtp_port = 12345;
        const DialogRun run = run_driven([&](HWND dialog) {
            set_field(dialog, IDC_SMTP_PORT, c.text);
            press(dialog, IDOK);
        });
        expect_run(run, IDOK, c.text);
        EXPECT_EQ(mail_settings.smtp_port, c.port) << '"' << c.text << '"';
    }
}

TEST_F(SmtpDialog, EveryWayOfClosingStoresTheFields)
{
    const struct {
        const char* way;
        std::function<void(HWND)> close;
        INT_PTR end_value;
    } ways[] = {
        {"apply", [](HWND d) { press(d, IDOK); }, IDOK},
        {"exit", [](HWND d) { press(d, IDCANCEL); }, IDCANCEL},
        {"escape", [](HWND d) { PostMessageA(GetDlgItem(d, IDC_SMTP_SERVER), WM_KEYDOWN, VK_ESCAPE, 0); }, IDCANCEL},
        {"enter", [](HWND d) { PostMessageA(GetDlgItem(d, IDC_SMTP_SERVER), WM_KEYDOWN, VK_RETURN, 0); }, IDOK},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"close message", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }, IDCANCEL},
    };
    for (const auto& w : ways) {
        mail_settings = MailSettings();
        const DialogRun run = run_driven([&](HWND dialog) {
            set_field(dialog, IDC_SMTP_SERVER, std::string("server-") + w.way);
            set_field(dialog, IDC_SMTP_PORT, "2525");
            set_field(dialog, IDC_SMTP_MAILBOX, "box");
            set_field(dialog, IDC_SMTP_LOGIN, "who");
            set_field(dialog, IDC_SMTP_PASSWORD, "pw");
            w.close(dialog);
        });
        expect_run(run, w.end_value, w.way);
        EXPECT_EQ(mail_settings.smtp_server, std::string("server-") + w.way);
        EXPECT_EQ(mail_settings.smtp_port, 2525) << w.way;
        EXPECT_EQ(mail_settings.sender_mailbox, "box") << w.way;
        EXPECT_EQ(mail_settings.smtp_login, "who") << w.way;
        EXPECT_EQ(mail_settings.smtp_password, "pw") << w.way;
    }
}

TEST_F(SmtpDialog, SecondOpeningShowsWhatTheFirstStored)
{
    mail_settings = MailSettings();
    const DialogRun first = run_driven([&](HWND dialog) {
        set_field(dialog, IDC_SMTP_SERVER, "first.example.com");
        set_field(dialog, IDC_SMTP_PORT, " 26 ");
        set_field(dialog, IDC_SMTP_MAILBOX, "a@b");
        set_field(dialog, IDC_SMTP_LOGIN, "l");
        set_field(dialog, IDC_SMTP_PASSWORD, "p");
        press(dialog, IDCANCEL);
    });
    expect_run(first, IDCANCEL, "first");
    std::string shown[5];
    const DialogRun second = run_driven([&](HWND dialog) {
        for (int i = 0; i < 5; ++i) shown[i] = field(dialog, field_ids[i]);
        press(dialog, IDCANCEL);
    });
    expect_run(second, IDCANCEL, "second");
    EXPECT_EQ(shown[0], "first.example.com");
    EXPECT_EQ(shown[1], "26");
    EXPECT_EQ(shown[2], "a@b");
    EXPECT_EQ(shown[3], "l");
    EXPECT_EQ(shown[4], "p");
}

TEST_F(SmtpDialog, FieldsKeepAtMost99Characters)
{
    mail_settings = MailSettings();
    LRESULT limits[5] = {};
    std::string typed;
    const DialogRun run = run_driven([&](HWND dialog) {
        for (int i = 0; i < 5; ++i) limits[i] = SendMessageA(GetDlgItem(dialog, field_ids[i]), EM_GETLIMITTEXT, 0, 0);
        set_field(dialog, IDC_SMTP_PASSWORD, std::string(120, 'p'));
        // Typing stops at the limit: what the user sees is what is stored.
        const HWND login = GetDlgItem(dialog, IDC_SMTP_LOGIN);
        for (int i = 0; i < 120; ++i) SendMessageA(login, WM_CHAR, 'a' + i % 26, 0);
        typed = field(dialog, IDC_SMTP_LOGIN);
        press(dialog, IDOK);
    });
    expect_run(run, IDOK, "long");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(limits[i], 99) << field_ids[i];
    EXPECT_EQ(mail_settings.smtp_password, std::string(99, 'p'));
    EXPECT_EQ(typed.size(), 99u);
    EXPECT_EQ(mail_settings.smtp_login, typed);
}

TEST_F(SmtpDialog, PasswordIsMaskedAndStoredPlain)
{
    mail_settings = MailSettings();
    LONG style = 0;
    LRESULT mask = 0;
    const DialogRun run = run_driven([&](HWND dialog) {
        const HWND password = GetDlgItem(dialog, IDC_SMTP_PASSWORD);
        style = GetWindowLongA(password, GWL_STYLE);
        mask = SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0);
        set_field(dialog, IDC_SMTP_PASSWORD, "plain text");
        press(dialog, IDOK);
    });
    expect_run(run, IDOK, "password");
    EXPECT_TRUE(style & ES_PASSWORD);
    EXPECT_NE(mask, 0);
    EXPECT_EQ(mail_settings.smtp_password, "plain text");
}
