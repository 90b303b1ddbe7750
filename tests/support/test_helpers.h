// Small helpers shared by the Windows tests.
#ifndef TULVO_TEST_HELPERS_H
#define TULVO_TEST_HELPERS_H

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/resource.h"
#include "settings/mail_settings.h"

// What Start locks and Stop unlocks on the schedule tab.
constexpr int SCHEDULE_INPUTS[] = {IDC_AT_TIME, IDC_AFTER_MINUTES, IDC_POWER_OFF,      IDC_REBOOT,
                                   IDC_LOG_OFF, IDC_TARGET_SPIN,   IDC_COUNTDOWN_SPIN, IDC_TARGET_DATE};

// Windows Sockets started while it lives.
struct WinsockStarted {
    WinsockStarted();
    ~WinsockStarted();
    WinsockStarted(const WinsockStarted&) = delete;
    WinsockStarted& operator=(const WinsockStarted&) = delete;
};

// Whether a control of a window is enabled.
bool control_enabled(HWND window, int id);

// Takes the quit message that a firing posts to end the dialog loop; false when
// none was posted. Left in the queue it would close the next message box at once.
bool quit_posted();

// mail_settings as a send through the SMTP server at server:port finds them: from
// pc@example.org to admin@example.org, no login, nothing else set.
void use_smtp_server(const char* server, std::int32_t port);

// Polls condition every few milliseconds until it holds or timeout_ms has passed.
bool wait_for(const std::function<bool()>& condition, DWORD timeout_ms = 10000);

// A deadline on the system_milliseconds clock that the code under test will not
// meet unless a test moves the clock on.
std::uint64_t a_minute_from_now();

// The value of key in section MAIL of a settings file, "<missing>" without one.
std::string stored_setting(const std::string& file, const char* key);

// A TCP socket bound to 127.0.0.1 at port, or at a free port when it is 0 (then
// written back); not yet listening. Windows Sockets must have started.
SOCKET loopback_listener(std::uint16_t& port);

// A loopback port on which nobody listens: bound once by the system's choice, then closed.
int closed_loopback_port();

#endif
