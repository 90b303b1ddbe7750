// The whole program sending its notification before the shutdown request, against
// a real SMTP server on 127.0.0.1 (run under tests/support/servers/smtp_fixture.py, which
// gives its port and spool folder in TULVO_TEST_SMTP_PORT / TULVO_TEST_SMTP_SPOOL).
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/resource.h"
#include "tests/support/program_driver.h"
#include "tests/support/test_helpers.h"

namespace {

const DWORD timeout_ms = 20000;

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

FILETIME written_at(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

struct SmtpDialogValues {
    std::string port;
    const char* mailbox;
    const char* login;
    const char* password;
};

class ProgramMail : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(env("TULVO_TEST_SMTP_PORT").empty()) << "run under tests/support/servers/smtp_fixture.py";
        forget_recorded_calls();
        DeleteFileA(program_settings_file().c_str());
    }

    // Fills the mail tab and the SMTP dialog through their controls, then arms.
    void arm_smtp(Program& program, const SmtpDialogValues& smtp)
    {
        ASSERT_NE(program.dialog(), nullptr);
        ASSERT_TRUE(wait_for([&] { return program.window_visible(); }, timeout_ms));
        program.select_tab(1);
        program.set_text(IDC_MAIL_TO, "boss@example.org");
        program.set_text(IDC_MAIL_SUBJECT, "tulvo");
        program.set_text(IDC_MAIL_BODY, "Going down\r\nnow");
        program.post_click(IDC_CONFIGURE_SMTP);
        HWND dialog = nullptr;
        ASSERT_TRUE(wait_for(
            [&] {
                dialog = FindWindowExA(nullptr, nullptr, "#32770", nullptr);
                for (; dialog; dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr))
                    // Shown: its fields filled from the settings, which would overwrite what is typed earlier.
                    if (GetWindow(dialog, GW_OWNER) == program.dialog() && GetDlgItem(dialog, IDC_SMTP_PORT) &&
                        IsWindowVisible(dialog))
                        return true;
                return false;
            },
            timeout_ms));
        auto set = [&](int id, const char* text) {
            SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        };
        set(IDC_SMTP_SERVER, "127.0.0.1");
        set(IDC_SMTP_PORT, smtp.port.c_str());
        set(IDC_SMTP_MAILBOX, smtp.mailbox);
        set(IDC_SMTP_LOGIN, smtp.login);
        set(IDC_SMTP_PASSWORD, smtp.password);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(wait_for([&] { return !IsWindow(dialog); }, timeout_ms));

        program.post_click(IDC_SEND_MESSAGE);
        ASSERT_TRUE(
            wait_for([&] { return program.checked(IDC_SEND_MESSAGE) && !program.enabled(IDC_USE_MAPI); }, timeout_ms));
        EXPECT_EQ(program.wait_box(0), nullptr);
    }

    // A countdown of 0 minutes started and confirmed: the action is due at once.
    void fire_now(Program& program)
    {
        program.select_tab(0);
        program.click(IDC_AFTER_MINUTES);
        program.post_click(IDC_START);
        HWND box = program.wait_box(timeout_ms);
        ASSERT_NE(box, nullptr);
        press_box_button(box, IDOK);
        ASSERT_TRUE(program.wait_exit(timeout_ms));
    }
};

TEST_F(ProgramMail, LetterArrivesBeforeTheShutdownRequestAndSettingsAreKept)
{
    Program program;
    arm_smtp(program, {env("TULVO_TEST_SMTP_PORT"), "pc@example.org", "pc", "secret"});
    fire_now(program);

    const std::string spool = env("TULVO_TEST_SMTP_SPOOL");
    EXPECT_EQ(file_text(spool + "1.eml"), "Subject:tulvo\r\nGoing down\r\nnow\r\n");
    EXPECT_EQ(file_text(spool + "1.envelope"), "from pc@example.org\nto boss@example.org\nauth pc\n");
    ASSERT_EQ(recorded_shutdowns(), shutdown_line(12));
    const FILETIME letter = written_at(spool + "1.envelope");
    const FILETIME request = written_at(system_calls_file());
    EXPECT_LE(CompareFileTime(&letter, &request), 0);

    EXPECT_EQ(stored_setting(program_settings_file(), "MailAdr"), "boss@example.org");
    EXPECT_EQ(stored_setting(program_settings_file(), "MailSubj"), "tulvo");
    EXPECT_EQ(stored_setting(program_settings_file(), "SmtpAdr"), "127.0.0.1");
    EXPECT_EQ(stored_setting(program_settings_file(), "SmtpPort"), env("TULVO_TEST_SMTP_PORT"));
    EXPECT_EQ(stored_setting(program_settings_file(), "SmtpMailBox"), "pc@example.org");
    EXPECT_EQ(stored_setting(program_settings_file(), "UseMAPI"), "No");
}

TEST_F(ProgramMail, ServerDownShowsNothingAndTheRequestStillFollows)
{
    Program program;
    arm_smtp(program, {std::to_string(closed_loopback_port()), "pc@example.org", "", ""});
    fire_now(program);
    EXPECT_EQ(recorded_shutdowns(), shutdown_line(12));
}

} // namespace
