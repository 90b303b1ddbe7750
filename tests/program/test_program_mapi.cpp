// The whole program with the test double of the mail client in the system folder
// (WINEDLLOVERRIDES=mapi32=n), driven from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include "app/resource.h"
#include "tests/support/fake_mapi_control.h"
#include "tests/support/program_driver.h"
#include "tests/support/guarded_send.h"

namespace {

const DWORD timeout_ms = 10000;

class ProgramMapi : public testing::Test {
protected:
    void SetUp() override
    {
        forget_recorded_calls();
        DeleteFileA(program_settings_file().c_str());
    }

    // Shows the program's window and arms the notification through MAPI.
    void arm_mapi(Program& program)
    {
        ASSERT_NE(program.dialog(), nullptr);
        ASSERT_TRUE(wait_for([&] { return program.window_visible(); }, timeout_ms));
        program.select_tab(1);
        program.set_text(IDC_MAIL_TO, "admin@example.org");
        program.click(IDC_USE_MAPI);
        program.click(IDC_SEND_MESSAGE);
        ASSERT_TRUE(program.checked(IDC_SEND_MESSAGE));
        program.select_tab(0);
    }
};

std::string settings_folder()
{
    const std::string file = program_settings_file();
    return file.substr(0, file.find_last_of('\\'));
}

} // namespace

TEST_F(ProgramMapi, AMapi32BesideTheProgramOrInTheSettingsFolderIsNeverLoaded)
{
    FakeMapi fake;
    // A downloaded program: a copy of its own in a folder of this Wine prefix.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string downloads = std::string(temp) + "tulvo_downloads";
    const std::string exe = downloads + "\\tulvo_recorded.exe";
    CreateDirectoryA(downloads.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(program_exe("tulvo_recorded.exe").c_str(), exe.c_str(), FALSE));
    CreateDirectoryA(settings_folder().c_str(), nullptr);
    const std::string planted[] = {downloads + "\\mapi32.dll", settings_folder() + "\\mapi32.dll"};
    for (const std::string& path : planted) ASSERT_TRUE(CopyFileA(FakeMapi::built_dll().c_str(), path.c_str(), FALSE));
    {
        Program program(exe);
        arm_mapi(program);
        program.click(IDC_EXIT);
        EXPECT_TRUE(program.wait_exit(timeout_ms));
    }
    for (const std::string& path : planted) DeleteFileA(path.c_str());
    EXPECT_EQ(fake.loads(), (std::vector<std::string>{system_mapi32()}));
    EXPECT_EQ(fake.entries(), (std::vector<std::string>{"MAPILogon", "MAPIResolveName"}));
}

enum class Firing { DueTick, StartAnsweredOk };

// One program and one client per process: a case each.
class ProgramMapiHungClient : public ProgramMapi, public testing::WithParamInterface<Firing> {};

// The client's own message loop keeps the window live while it holds the send: the
// request still comes, nothing can start a second firing, and nothing more is written.
TEST_P(ProgramMapiHungClient, AMailClientThatNeverReturnsCannotHoldTheRequestBackNorLetAFiringBeginAgain)
{
    const int locked[] = {IDC_START,  IDC_STOP,    IDC_AT_TIME,     IDC_AFTER_MINUTES,  IDC_POWER_OFF,
                          IDC_REBOOT, IDC_LOG_OFF, IDC_TARGET_SPIN, IDC_COUNTDOWN_SPIN, IDC_TARGET_DATE};
    FakeMapi fake;
    fake.hang("MAPISendMail");
    ProgramClock clock;
    Program program;
    arm_mapi(program);
    program.click(IDC_AFTER_MINUTES);
    if (GetParam() == Firing::DueTick) {
        program.spin(IDC_COUNTDOWN_SPIN, true);
        program.click(IDC_START);
        clock.advance(61000);
        program.post_tick();
    } else {
        program.post_click(IDC_START);
        HWND question = program.wait_box();
        ASSERT_NE(question, nullptr);
        press_box_button(question, IDOK);
    }
    ASSERT_TRUE(wait_for([&] { return fake.entries().size() == 3; }, timeout_ms)) << "the send began";
    program.sync();
    for (int id : locked) EXPECT_FALSE(program.enabled(id)) << id;
    ASSERT_TRUE(wait_for(
        [&] {
            clock.advance(1000);
            return recorded_shutdowns() != "";
        },
        timeout_ms));
    EXPECT_EQ(recorded_shutdowns(), shutdown_line(12));
    EXPECT_TRUE(program.running()) << "the client still has the call";
    EXPECT_NE(file_text(settings_at_request_file()).find("MailAdr=admin@example.org"), std::string::npos);
    const std::string written = recorded_lines({"profile "});
    send_or_fail(program.dialog(), WM_ENDSESSION, TRUE);
    EXPECT_EQ(recorded_lines({"profile "}), written);
    for (int id : locked) EXPECT_FALSE(program.enabled(id)) << id;
}

INSTANTIATE_TEST_SUITE_P(ProgramMapi, ProgramMapiHungClient, testing::Values(Firing::DueTick, Firing::StartAnsweredOk),
                         [](const testing::TestParamInfo<Firing>& info) {
                             return info.param == Firing::DueTick ? "DueTick" : "StartAnsweredOk";
                         });

TEST_F(ProgramMapi, TheTestButtonSendsTheFieldsAsTheyStand)
{
    FakeMapi fake;
    Program program;
    ASSERT_NE(program.dialog(), nullptr);
    ASSERT_TRUE(wait_for([&] { return program.window_visible(); }, timeout_ms));
    program.select_tab(1);
    program.click(IDC_USE_MAPI);
    program.set_text(IDC_MAIL_TO, "first@example.org");
    program.set_text(IDC_MAIL_TO, "admin@example.org");
    program.set_text(IDC_MAIL_SUBJECT, "Test");
    program.set_text(IDC_MAIL_BODY, "line one\r\nline two");
    program.click(IDC_TEST_SEND);
    const std::vector<std::string> calls = fake.calls();
    ASSERT_EQ(fake.entries(), (std::vector<std::string>{"MAPILogon", "MAPIResolveName", "MAPISendMail",
                                                        "MAPIFreeBuffer", "MAPILogoff"}));
    EXPECT_NE(calls[1].find("name=[admin@example.org]"), std::string::npos) << calls[1];
    EXPECT_NE(calls[2].find("subject=[Test] note=[line one\\r\\nline two]"), std::string::npos) << calls[2];
    EXPECT_EQ(program.wait_box(0), nullptr);
    program.click(IDC_EXIT);
    EXPECT_TRUE(program.wait_exit(timeout_ms));
}
