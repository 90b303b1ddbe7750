// Benchmark of the firing against mail that never completes, in real time: the
// program (tulvo_recorded.exe, the request recorded) armed to mail through a
// server that trickles a line end every half second, and through a mail client
// whose send never returns; prints the time from the firing to the request.
// Run by scripts/bench (WINEDLLOVERRIDES=mapi32=n), never by CTest.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/resource.h"
#include "tests/support/fake_mapi_control.h"
#include "tests/support/program_driver.h"
#include "tests/support/servers/scripted_smtp_server.h"

namespace {

const DWORD longest_wait_ms = 120000;

// Arms the mail on the shown program, confirms an immediate action and returns
// the seconds until the request was recorded (negative: none within the wait).
double seconds_from_firing_to_request(bool use_mapi)
{
    Program program;
    if (program.dialog() == nullptr || !wait_for([&] { return program.window_visible(); })) return -1;
    program.select_tab(1);
    if (use_mapi) program.click(IDC_USE_MAPI);
    program.click(IDC_SEND_MESSAGE);
    if (!program.checked(IDC_SEND_MESSAGE)) return -1;
    program.select_tab(0);
    program.click(IDC_AFTER_MINUTES);
    program.post_click(IDC_START);
    const HWND question = program.wait_box();
    if (question == nullptr) return -1;
    press_box_button(question, IDOK);
    const DWORD fired = GetTickCount();
    if (!wait_for([] { return recorded_shutdowns() != ""; }, longest_wait_ms)) return -1;
    return (GetTickCount() - fired) / 1000.0;
}

} // namespace

TEST(BenchFiringDeadline, Figures)
{
    forget_recorded_calls();
    DeleteFileA(program_settings_file().c_str());
    SmtpScript trickle;
    trickle.greeting = reply("220 hi\r\n");
    trickle.trickle_ms = 500;
    ScriptedSmtpServer server(trickle);
    WritePrivateProfileStringA("MAIL", "SmtpAdr", "127.0.0.1", program_settings_file().c_str());
    WritePrivateProfileStringA("MAIL", "SmtpPort", std::to_string(server.port()).c_str(),
                               program_settings_file().c_str());
    std::printf("firing to request, SMTP server trickling a byte every 0.5 s: %.1f s\n",
                seconds_from_firing_to_request(false));

    forget_recorded_calls();
    FakeMapi fake;
    fake.hang("MAPISendMail");
    std::printf("firing to request, mail client whose send never returns: %.1f s\n",
                seconds_from_firing_to_request(true));
}
