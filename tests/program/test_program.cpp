// The whole program (tulvo_recorded.exe, the shutdown request written to a file)
// driven from outside through its controls. One instance at a time: these tests
// share a CTest resource lock, and each ends every process it started.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/message_texts.h"
#include "app/resource.h"
#include "tests/support/program_driver.h"
#include "tests/support/servers/scripted_smtp_server.h"
#include "tests/support/message_box_watcher.h"

namespace {

const DWORD exit_timeout_ms = 10000;

const int schedule_group[] = {IDC_AT_TIME,     IDC_AFTER_MINUTES,  IDC_POWER_OFF, IDC_REBOOT,      IDC_LOG_OFF,
                              IDC_TARGET_SPIN, IDC_COUNTDOWN_SPIN, IDC_COUNTDOWN, IDC_TARGET_TIME, IDC_MINUTES_LABEL,
                              IDC_TARGET_DATE, IDC_ACTION_GROUP,   IDC_TIME_GROUP};

const int mail_group[] = {IDC_SEND_MESSAGE, IDC_USE_MAPI,  IDC_CONFIGURE_SMTP, IDC_MAIL_TO,       IDC_MAIL_SUBJECT,
                          IDC_MAIL_BODY,    IDC_TEST_SEND, IDC_TO_LABEL,       IDC_SUBJECT_LABEL, IDC_BODY_LABEL};

const int both_tabs[] = {IDC_HIDE, IDC_STOP, IDC_START, IDC_EXIT};

std::vector<int> every_control()
{
    std::vector<int> ids(std::begin(schedule_group), std::end(schedule_group));
    ids.insert(ids.end(), std::begin(mail_group), std::end(mail_group));
    ids.insert(ids.end(), std::begin(both_tabs), std::end(both_tabs));
    ids.push_back(IDC_TABS);
    return ids;
}

std::vector<bool> enabled_states(Program& program)
{
    std::vector<bool> states;
    for (int id : every_control()) states.push_back(program.enabled(id));
    return states;
}

std::string time_text(SYSTEMTIME time)
{
    char text[100] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, text, sizeof text);
    return text;
}

SYSTEMTIME local_time()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

SYSTEMTIME minute_step(SYSTEMTIME time, bool up)
{
    if (up) {
        time.wMinute = time.wMinute == 59 ? 0 : time.wMinute + 1;
        if (time.wMinute == 0) time.wHour = time.wHour == 23 ? 0 : time.wHour + 1;
    } else {
        time.wMinute = time.wMinute == 0 ? 59 : time.wMinute - 1;
        if (time.wMinute == 59) time.wHour = time.wHour == 0 ? 23 : time.wHour - 1;
    }
    return time;
}

class ProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        forget_recorded_calls();
        DeleteFileA(program_settings_file().c_str());
    }

    // Started processes live until the end of the test, which ends any still running.
    Program& start()
    {
        programs_.push_back(std::make_unique<Program>());
        Program& program = *programs_.back();
        EXPECT_TRUE(program.started()) << program_exe("tulvo_recorded.exe");
        return program;
    }

    // Starts the program and waits until its window is shown (the dialog loop shows
    // it only once its queue first runs empty).
    Program& start_shown()
    {
        Program& program = start();
        EXPECT_NE(program.dialog(), nullptr);
        EXPECT_TRUE(wait_for([&] { return program.window_visible(); }, exit_timeout_ms));
        return program;
    }

    // A second start: it must end with 1 at once.
    void start_second()
    {
        Program& second = start();
        DWORD code = 0;
        ASSERT_TRUE(second.wait_exit(exit_timeout_ms, &code));
        EXPECT_EQ(code, 1u);
    }

    void set_countdown(Program& program, int minutes)
    {
        program.click(IDC_AFTER_MINUTES);
        for (int i = 0; i < minutes; ++i) program.spin(IDC_COUNTDOWN_SPIN, true);
        ASSERT_EQ(program.text(IDC_COUNTDOWN), std::to_string(minutes));
    }

private:
    std::vector<std::unique_ptr<Program>> programs_;
};

TEST_F(ProgramTest, ExitButtonEndsWithItsIdAndSavesSettings)
{
    Program& program = start_shown();
    program.click(IDC_EXIT);
    DWORD code = 0;
    ASSERT_TRUE(program.wait_exit(exit_timeout_ms, &code));
    EXPECT_EQ(code, static_cast<DWORD>(IDC_EXIT));
    EXPECT_EQ(stored_setting(program_settings_file(), "UseMAPI"), "No");
}

TEST_F(ProgramTest, EscapeAndCloseBoxEndWithIdCancel)
{
    struct Case {
        const char* how;
        UINT message;
        WPARAM wparam;
    } cases[] = {{"Escape", WM_KEYDOWN, VK_ESCAPE}, {"close box", WM_SYSCOMMAND, SC_CLOSE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Program& program = start_shown();
        program.post_to_dialog(c.message, c.wparam, 0);
        DWORD code = 0;
        ASSERT_TRUE(program.wait_exit(exit_timeout_ms, &code));
        EXPECT_EQ(code, static_cast<DWORD>(IDCANCEL));
    }
}

TEST_F(ProgramTest, SecondStartSignalsAndSavesNothingVisibleWindowUnaffected)
{
    Program& first = start_shown();
    start_second();
    EXPECT_FALSE(file_exists(program_settings_file()));
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(first.window_visible());
    first.click(IDC_EXIT);
    ASSERT_TRUE(first.wait_exit(exit_timeout_ms));
    EXPECT_TRUE(file_exists(program_settings_file()));
}

TEST_F(ProgramTest, HideShowsHintAndSecondStartShowsWindowAgain)
{
    Program& first = start_shown();
    first.post_click(IDC_HIDE);
    HWND box = first.wait_box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box_text(box), load_text(IDS_HIDE_HINT));
    EXPECT_EQ(window_text(box), "");
    EXPECT_FALSE(first.window_visible());
    press_box_button(box, IDOK);
    ASSERT_TRUE(wait_for([&] { return !IsWindow(box); }, exit_timeout_ms));
    // The Hide command resets the event after its hint; a start signalled before that would be lost.
    first.sync();
    EXPECT_FALSE(first.window_visible());

    start_second();
    first.tick();
    EXPECT_TRUE(first.window_visible());
}

TEST_F(ProgramTest, HideForgetsASignalFromBeforeIt)
{
    Program& first = start_shown();
    start_second();
    first.post_click(IDC_HIDE);
    HWND box = first.wait_box();
    ASSERT_NE(box, nullptr);
    press_box_button(box, IDOK);
    ASSERT_TRUE(wait_for([&] { return !IsWindow(box); }, exit_timeout_ms));
    first.tick();
    first.tick();
    EXPECT_FALSE(first.window_visible());
    start_second();
    first.tick();
    EXPECT_TRUE(first.window_visible());
}

TEST_F(ProgramTest, InitialStates)
{
    const SYSTEMTIME before = local_time();
    Program& program = start_shown();
    const SYSTEMTIME after = local_time();

    EXPECT_TRUE(program.checked(IDC_POWER_OFF));
    EXPECT_FALSE(program.checked(IDC_REBOOT));
    EXPECT_FALSE(program.checked(IDC_LOG_OFF));
    EXPECT_TRUE(program.checked(IDC_AT_TIME));
    EXPECT_FALSE(program.checked(IDC_AFTER_MINUTES));
    EXPECT_FALSE(program.enabled(IDC_STOP));
    EXPECT_TRUE(program.enabled(IDC_START));
    EXPECT_EQ(program.text(IDC_COUNTDOWN), "0");
    const std::string shown = program.text(IDC_TARGET_TIME);
    EXPECT_TRUE(shown == time_text(before) || shown == time_text(after)) << shown;
    EXPECT_EQ(program.selected_tab(), 0);
    for (int id : schedule_group) EXPECT_TRUE(program.visible(id)) << id;
    for (int id : mail_group) EXPECT_FALSE(program.visible(id)) << id;
    EXPECT_FALSE(program.checked(IDC_SEND_MESSAGE));
    EXPECT_FALSE(program.checked(IDC_USE_MAPI));
    for (int id : every_control()) EXPECT_EQ(program.enabled(id), id != IDC_STOP) << id;
}

TEST_F(ProgramTest, StartAndStopLockAndUnlockExactlyTheEightInputs)
{
    Program& program = start_shown();
    set_countdown(program, 5);
    const std::vector<bool> idle = enabled_states(program);

    program.click(IDC_START);
    EXPECT_FALSE(program.enabled(IDC_START));
    EXPECT_TRUE(program.enabled(IDC_STOP));
    const std::vector<int> ids = every_control();
    for (size_t i = 0; i < ids.size(); ++i) {
        const bool input =
            std::find(std::begin(SCHEDULE_INPUTS), std::end(SCHEDULE_INPUTS), ids[i]) != std::end(SCHEDULE_INPUTS);
        if (input) {
            EXPECT_FALSE(program.enabled(ids[i])) << ids[i];
        } else if (ids[i] != IDC_START && ids[i] != IDC_STOP) {
            EXPECT_EQ(program.enabled(ids[i]), idle[i]) << ids[i];
        }
    }

    program.click(IDC_STOP);
    EXPECT_EQ(enabled_states(program), idle);
    EXPECT_TRUE(program.running());
    EXPECT_EQ(recorded_shutdowns(), "");
}

TEST_F(ProgramTest, StartOnADueScheduleWithOkRequestsTheCheckedActionAndEnds)
{
    struct Case {
        int radio;
        unsigned flags;
    } cases[] = {{IDC_POWER_OFF, 12}, {IDC_REBOOT, 6}, {IDC_LOG_OFF, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        forget_recorded_calls();
        Program& program = start_shown();
        program.click(c.radio);
        // At-time mode with the target at the current minute: already due.
        program.post_click(IDC_START);
        HWND box = program.wait_box();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box_text(box), load_text(IDS_ACT_NOW));
        press_box_button(box, IDOK);
        ASSERT_TRUE(program.wait_exit(exit_timeout_ms));
        EXPECT_EQ(recorded_shutdowns(), shutdown_line(c.flags));
        EXPECT_EQ(stored_setting(program_settings_file(), "UseMAPI"), "No");
    }
}

TEST_F(ProgramTest, CountdownShowsMinutesPlusOneWhileRunning)
{
    ProgramClock clock;
    Program& program = start_shown();
    set_countdown(program, 2);
    program.set_text(IDC_COUNTDOWN, "-");
    program.click(IDC_START);
    // The first second steps a minute at once and shows the minutes left plus one.
    clock.advance(1000);
    program.tick();
    EXPECT_EQ(program.text(IDC_COUNTDOWN), "2");
    program.click(IDC_STOP);
    program.spin(IDC_COUNTDOWN_SPIN, false);
    EXPECT_EQ(program.text(IDC_COUNTDOWN), "0");
    program.spin(IDC_COUNTDOWN_SPIN, true);
    EXPECT_EQ(program.text(IDC_COUNTDOWN), "1");
}

TEST_F(ProgramTest, OneMinuteCountdownKeepsTimeThroughAFrozenThreadThenPressesStopAndRequests)
{
    ProgramClock clock;
    Program& program = start_shown();
    program.click(IDC_LOG_OFF);
    set_countdown(program, 1);
    program.click(IDC_START);
    // The program's thread stops for 30 s and then finds one timer message.
    program.freeze();
    clock.advance(30000);
    program.thaw();
    program.tick();
    clock.advance(29000);
    program.tick();
    EXPECT_EQ(recorded_shutdowns(), "");
    clock.advance(2000);
    program.tick();
    ASSERT_TRUE(program.wait_exit(exit_timeout_ms));
    EXPECT_EQ(recorded_shutdowns(), shutdown_line(4));
}

TEST_F(ProgramTest, KeptAwakeOnlyWhileRunning)
{
    Program& program = start_shown();
    set_countdown(program, 5);
    program.click(IDC_START);
    EXPECT_EQ(recorded_lines({"keep-awake "}), "keep-awake on\r\n");
    program.click(IDC_STOP);
    EXPECT_EQ(recorded_lines({"keep-awake "}), "keep-awake on\r\nkeep-awake off\r\n");
    program.click(IDC_EXIT);
    ASSERT_TRUE(program.wait_exit(exit_timeout_ms));
    EXPECT_EQ(recorded_lines({"keep-awake "}), "keep-awake on\r\nkeep-awake off\r\nkeep-awake off\r\n");
}

// The firing's own save is the last write; the PC is kept awake until the request.
TEST_F(ProgramTest, KeepAwakeEndsAndNoSettingIsWrittenOnlyAfterTheRequest)
{
    enum class Firing { DueTick, LateQuestionAnsweredOk };
    for (Firing firing : {Firing::DueTick, Firing::LateQuestionAnsweredOk}) {
        SCOPED_TRACE(firing == Firing::DueTick ? "due tick" : "late question");
        forget_recorded_calls();
        ProgramClock clock;
        Program& program = start_shown();
        set_countdown(program, 1);
        program.click(IDC_START);
        clock.advance(firing == Firing::DueTick ? 61000 : 61000 + 60000);
        program.post_tick();
        if (firing == Firing::LateQuestionAnsweredOk) {
            HWND question = program.wait_box_saying(load_text(IDS_ACT_NOW));
            ASSERT_NE(question, nullptr);
            press_box_button(question, IDOK);
        }
        ASSERT_TRUE(program.wait_exit(exit_timeout_ms));
        const std::string calls = recorded_lines({"keep-awake ", "shutdown ", "profile "});
        const std::size_t request = calls.find(shutdown_line(12));
        ASSERT_NE(request, std::string::npos) << calls;
        const std::string before = calls.substr(0, request);
        const std::string after = calls.substr(request + shutdown_line(12).size());
        EXPECT_EQ(before.rfind("keep-awake on\r\n", 0), 0u) << calls;
        EXPECT_EQ(before.find("keep-awake off"), std::string::npos) << calls;
        EXPECT_NE(before.find("profile UseMAPI\r\n"), std::string::npos) << calls;
        EXPECT_EQ(after.rfind("keep-awake off\r\n", 0), 0u) << calls;
        EXPECT_EQ(after.find("profile "), std::string::npos) << calls;
    }
}

TEST_F(ProgramTest, ActionFoundDueAMinuteLateShowsTheHiddenWindowAndAsks)
{
    struct Case {
        bool hint_open; // the late tick comes while the Hide hint is still open
        int answer;
    } cases[] = {{false, IDCANCEL}, {false, IDOK}, {true, IDCANCEL}, {true, IDOK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.hint_open ? "hint open, " : "hint closed, ") + (c.answer == IDOK ? "OK" : "Cancel"));
        forget_recorded_calls();
        ProgramClock clock;
        Program& program = start_shown();
        set_countdown(program, 1);
        program.click(IDC_START);
        program.post_click(IDC_HIDE);
        HWND hint = program.wait_box();
        ASSERT_NE(hint, nullptr);
        if (!c.hint_open) {
            press_box_button(hint, IDOK);
            ASSERT_TRUE(wait_for([&] { return !IsWindow(hint); }, exit_timeout_ms));
        }
        // The PC slept through the end of the countdown.
        clock.advance(61000 + 60000);
        program.post_tick();
        HWND question = program.wait_box_saying(load_text(IDS_ACT_NOW));
        ASSERT_NE(question, nullptr);
        EXPECT_TRUE(box_has_cancel(question));
        EXPECT_TRUE(program.window_visible());
        EXPECT_EQ(recorded_shutdowns(), "");
        press_box_button(question, c.answer);
        if (c.answer == IDOK) {
            ASSERT_TRUE(program.wait_exit(exit_timeout_ms));
            EXPECT_EQ(recorded_shutdowns(), shutdown_line(12));
            continue;
        }
        ASSERT_TRUE(wait_for([&] { return !IsWindow(question); }, exit_timeout_ms));
        if (c.hint_open) {
            press_box_button(hint, IDOK);
            ASSERT_TRUE(wait_for([&] { return !IsWindow(hint); }, exit_timeout_ms));
        }
        program.tick();
        EXPECT_TRUE(program.window_visible());
        EXPECT_TRUE(program.enabled(IDC_START));
        EXPECT_FALSE(program.enabled(IDC_STOP));
        for (int id : SCHEDULE_INPUTS) EXPECT_TRUE(program.enabled(id)) << id;
        EXPECT_EQ(recorded_shutdowns(), "");
        program.click(IDC_EXIT);
        ASSERT_TRUE(program.wait_exit(exit_timeout_ms));
    }
}

TEST_F(ProgramTest, ArmedMailThatNeverCompletesCannotHoldTheRequestBack)
{
    SmtpScript trickle;
    trickle.greeting = reply("220 hi\r\n");
    trickle.trickle_ms = 100;
    ScriptedSmtpServer trickling(trickle);
    UnansweredPort unanswered;
    for (std::uint16_t port : {trickling.port(), unanswered.port()}) {
        SCOPED_TRACE(port == trickling.port() ? "a server that trickles bytes" : "a connect never answered");
        forget_recorded_calls();
        WritePrivateProfileStringA("MAIL", "SmtpAdr", "127.0.0.1", program_settings_file().c_str());
        WritePrivateProfileStringA("MAIL", "SmtpPort", std::to_string(port).c_str(), program_settings_file().c_str());
        ProgramClock clock;
        Program& program = start_shown();
        program.select_tab(1);
        program.click(IDC_SEND_MESSAGE);
        ASSERT_TRUE(program.checked(IDC_SEND_MESSAGE));
        program.select_tab(0);
        set_countdown(program, 1);
        program.click(IDC_START);
        clock.advance(61000);
        program.post_tick();
        // The firing is under way; its mail step may take the time it is given, no more.
        EXPECT_TRUE(wait_for(
            [&] {
                clock.advance(1000);
                return recorded_shutdowns() != "";
            },
            exit_timeout_ms));
        EXPECT_EQ(recorded_shutdowns(), shutdown_line(12));
        EXPECT_TRUE(program.wait_exit(exit_timeout_ms));
    }
    EXPECT_EQ(trickling.received().rfind("HELO ", 0), 0u);
}

TEST_F(ProgramTest, TabSwitchChangesVisibilityOnly)
{
    Program& program = start_shown();
    set_countdown(program, 5);
    program.click(IDC_START);
    const std::vector<bool> running = enabled_states(program);

    program.select_tab(1);
    EXPECT_EQ(program.selected_tab(), 1);
    for (int id : schedule_group) EXPECT_FALSE(program.visible(id)) << id;
    for (int id : mail_group) EXPECT_TRUE(program.visible(id)) << id;
    for (int id : both_tabs) EXPECT_TRUE(program.visible(id)) << id;
    EXPECT_EQ(enabled_states(program), running);

    program.select_tab(0);
    for (int id : schedule_group) EXPECT_TRUE(program.visible(id)) << id;
    for (int id : mail_group) EXPECT_FALSE(program.visible(id)) << id;
    EXPECT_EQ(enabled_states(program), running);
}

TEST_F(ProgramTest, UpDownsStepTheTargetMinuteAndTheCountdown)
{
    const SYSTEMTIME before = local_time();
    Program& program = start_shown();
    const SYSTEMTIME after = local_time();
    const SYSTEMTIME target = program.text(IDC_TARGET_TIME) == time_text(before) ? before : after;
    ASSERT_EQ(program.text(IDC_TARGET_TIME), time_text(target));

    program.spin(IDC_TARGET_SPIN, true);
    EXPECT_EQ(program.text(IDC_TARGET_TIME), time_text(minute_step(target, true)));
    program.spin(IDC_TARGET_SPIN, false);
    program.spin(IDC_TARGET_SPIN, false);
    EXPECT_EQ(program.text(IDC_TARGET_TIME), time_text(minute_step(target, false)));

    program.spin(IDC_COUNTDOWN_SPIN, true);
    program.spin(IDC_COUNTDOWN_SPIN, true);
    EXPECT_EQ(program.text(IDC_COUNTDOWN), "2");
    program.spin(IDC_COUNTDOWN_SPIN, false);
    EXPECT_EQ(program.text(IDC_COUNTDOWN), "1");
    program.spin(IDC_COUNTDOWN_SPIN, false);
    program.spin(IDC_COUNTDOWN_SPIN, false);
    EXPECT_EQ(program.text(IDC_COUNTDOWN), "0");
}

TEST_F(ProgramTest, UseMapiBoxTogglesConfigureButtonOnlyAndIsStoredAtClose)
{
    Program& program = start_shown();
    program.select_tab(1);
    const std::vector<bool> smtp = enabled_states(program);
    program.click(IDC_USE_MAPI);
    EXPECT_FALSE(program.enabled(IDC_CONFIGURE_SMTP));
    const std::vector<bool> mapi = enabled_states(program);
    const std::vector<int> ids = every_control();
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] != IDC_CONFIGURE_SMTP) {
            EXPECT_EQ(mapi[i], smtp[i]) << ids[i];
        }
    }
    program.click(IDC_EXIT);
    ASSERT_TRUE(program.wait_exit(exit_timeout_ms));
    EXPECT_EQ(stored_setting(program_settings_file(), "UseMAPI"), "Yes");

    Program& again = start_shown();
    EXPECT_TRUE(again.checked(IDC_USE_MAPI));
    EXPECT_FALSE(again.enabled(IDC_CONFIGURE_SMTP));
    again.select_tab(1);
    again.click(IDC_USE_MAPI);
    EXPECT_TRUE(again.enabled(IDC_CONFIGURE_SMTP));
    again.post_to_dialog(WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(again.wait_exit(exit_timeout_ms));
    EXPECT_EQ(stored_setting(program_settings_file(), "UseMAPI"), "No");
}

TEST_F(ProgramTest, FailedSmtpArmingShowsWhyAndClearsTheBoxOnly)
{
    WritePrivateProfileStringA("MAIL", "SmtpAdr", "no-such-host.invalid", program_settings_file().c_str());
    Program& program = start_shown();
    program.select_tab(1);
    const std::vector<bool> before = enabled_states(program);
    program.post_click(IDC_SEND_MESSAGE);
    HWND box = program.wait_box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box_text(box), text_with_value(IDS_BAD_RECIPIENT, "no-such-host.invalid"));
    press_box_button(box, IDOK);
    ASSERT_TRUE(wait_for([&] { return !program.checked(IDC_SEND_MESSAGE); }, exit_timeout_ms));
    EXPECT_EQ(enabled_states(program), before);
}

TEST_F(ProgramTest, ArmingLocksTheMailTabAndDisarmingUnlocksIt)
{
    WritePrivateProfileStringA("MAIL", "SmtpAdr", "127.0.0.1", program_settings_file().c_str());
    Program& program = start_shown();
    program.select_tab(1);
    const std::vector<bool> disarmed = enabled_states(program);
    program.click(IDC_SEND_MESSAGE);
    ASSERT_TRUE(program.checked(IDC_SEND_MESSAGE));
    EXPECT_TRUE(program.enabled(IDC_SEND_MESSAGE));
    for (int id : mail_group) EXPECT_EQ(program.enabled(id), id == IDC_SEND_MESSAGE) << id;
    program.click(IDC_SEND_MESSAGE);
    EXPECT_FALSE(program.checked(IDC_SEND_MESSAGE));
    EXPECT_EQ(enabled_states(program), disarmed);
}

TEST_F(ProgramTest, WhatWasTypedIsSavedBeforeTheRequest)
{
    Program& program = start_shown();
    program.select_tab(1);
    program.set_text(IDC_MAIL_TO, "boss@example.org");
    program.set_text(IDC_MAIL_SUBJECT, "going down");
    program.click(IDC_USE_MAPI);
    program.select_tab(0);
    set_countdown(program, 0);
    program.post_click(IDC_START);
    HWND box = program.wait_box();
    ASSERT_NE(box, nullptr);
    press_box_button(box, IDOK);
    ASSERT_TRUE(program.wait_exit(exit_timeout_ms));
    // A forced end of the session would leave the file as the request found it.
    EXPECT_EQ(stored_setting(settings_at_request_file(), "MailAdr"), "boss@example.org");
    EXPECT_EQ(stored_setting(settings_at_request_file(), "MailSubj"), "going down");
    EXPECT_EQ(stored_setting(settings_at_request_file(), "UseMAPI"), "Yes");
}

TEST_F(ProgramTest, MailTextFieldsTakeNinetyNineCharacters)
{
    Program& program = start_shown();
    program.select_tab(1);
    for (int id : {IDC_MAIL_TO, IDC_MAIL_SUBJECT, IDC_MAIL_BODY}) {
        program.set_text(id, std::string(97, 'a').c_str());
        program.type(id, 'z', 4);
        EXPECT_EQ(program.text(id), std::string(97, 'a') + "zz") << id;
    }
    // A line break of the message counts two characters, as it is stored.
    program.set_text(IDC_MAIL_BODY, std::string(96, 'b').c_str());
    program.type(IDC_MAIL_BODY, '\r');
    program.type(IDC_MAIL_BODY, 'c', 5);
    EXPECT_EQ(program.text(IDC_MAIL_BODY), std::string(96, 'b') + "\r\nc");
}

TEST_F(ProgramTest, EndOfSessionSavesWhatWasTyped)
{
    Program& program = start_shown();
    program.select_tab(1);
    program.type(IDC_MAIL_TO, 'r', 3);
    program.click(IDC_USE_MAPI);
    SendMessageA(program.dialog(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(program.running());
    EXPECT_EQ(stored_setting(program_settings_file(), "MailAdr"), "rrr");
    EXPECT_EQ(stored_setting(program_settings_file(), "UseMAPI"), "Yes");
}

} // namespace
