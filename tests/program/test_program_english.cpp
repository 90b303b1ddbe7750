// The whole program on a Western Windows: run under an English locale (ANSI code
// page 1252, which has no Cyrillic), its texts still show in Russian, exactly, and a
// user named in Cyrillic keeps the settings.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include "app/resource.h"
#include "tests/support/fake_mapi_control.h"
#include "tests/support/program_driver.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/test_helpers.h"

namespace {

const DWORD timeout_ms = 10000;

class ProgramEnglish : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetACP(), 1252u) << "run under an English locale";
        forget_recorded_calls();
        DeleteFileA(program_settings_file().c_str());
    }

    void shown(Program& program)
    {
        ASSERT_NE(program.dialog(), nullptr);
        ASSERT_TRUE(wait_for([&] { return program.window_visible(); }, timeout_ms));
    }

    // Presses a button that opens a box; the box's text, answered with OK.
    std::wstring box_after(Program& program, int id)
    {
        program.post_click(id);
        const HWND box = program.wait_box();
        if (box == nullptr) return L"<no box>";
        const std::wstring text = box_text(box);
        press_box_button(box, IDOK);
        wait_for([&] { return !IsWindow(box); }, timeout_ms);
        return text;
    }
};

} // namespace

TEST_F(ProgramEnglish, TabsLabelsHintAndQuestionShowTheRussianTexts)
{
    Program program;
    shown(program);
    EXPECT_EQ(program.tab_label(0), text_of(IDS_TAB_SCHEDULE));
    EXPECT_EQ(program.tab_label(1), text_of(IDS_TAB_MAIL));
    EXPECT_EQ(program.wide_text(IDC_START), L"Пуск") << "the template's labels too";
    EXPECT_EQ(box_after(program, IDC_START), text_of(IDS_ACT_NOW));
    ASSERT_TRUE(program.wait_exit(timeout_ms)) << "OK on the question fires and ends";
    EXPECT_EQ(recorded_shutdowns(), shutdown_line(12));
}

TEST_F(ProgramEnglish, HintAfterHide)
{
    Program program;
    shown(program);
    EXPECT_EQ(box_after(program, IDC_HIDE), text_of(IDS_HIDE_HINT));
}

TEST_F(ProgramEnglish, MailFailuresShowTheRussianTextsWithALatinValueExactly)
{
    WritePrivateProfileStringA("MAIL", "SmtpAdr", "127.0.0.1", program_settings_file().c_str());
    WritePrivateProfileStringA("MAIL", "SmtpPort", std::to_string(closed_loopback_port()).c_str(),
                               program_settings_file().c_str());
    FakeMapi fake;
    fake.fail("MAPIResolveName");
    Program program;
    shown(program);
    program.select_tab(1);
    program.set_text(IDC_MAIL_TO, "admin@example.org");
    EXPECT_EQ(box_after(program, IDC_TEST_SEND), text_of(IDS_SMTP_NO_CONNECTION));
    program.click(IDC_USE_MAPI);
    EXPECT_EQ(box_after(program, IDC_TEST_SEND), text_with_value(IDS_BAD_RECIPIENT, "admin@example.org"));
    program.click(IDC_EXIT);
    EXPECT_TRUE(program.wait_exit(timeout_ms));
}

// Run by scripts/wine-run-cyrillic-user: the profile folder, C:\users\Иван, is named
// outside the code page, which the ANSI calls would give as "C:\users\????".
TEST_F(ProgramEnglish, SettingsOfAUserNamedInCyrillicAreKept)
{
    wchar_t app_data[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, app_data, CSIDL_APPDATA, TRUE);
    ASSERT_NE(std::wstring(app_data).find(L"Иван"), std::wstring::npos) << "run by scripts/wine-run-cyrillic-user";
    const std::wstring file = std::wstring(app_data) + L"\\tulvo_recorded\\tulvo_recorded.ini";
    DeleteFileW(file.c_str());
    Program program;
    shown(program);
    program.select_tab(1);
    program.set_text(IDC_MAIL_TO, "admin@example.org");
    program.click(IDC_EXIT);
    ASSERT_TRUE(program.wait_exit(timeout_ms));
    wchar_t stored[100] = {};
    GetPrivateProfileStringW(L"MAIL", L"MailAdr", L"<missing>", stored, 100, file.c_str());
    EXPECT_STREQ(stored, L"admin@example.org");
}
