#include "tests/support/test_helpers.h"

#include <winsock2.h>

#include "platform/system_calls.h"

namespace {

const DWORD poll_interval_ms = 5;

} // namespace

WinsockStarted::WinsockStarted()
{
    WSADATA startup;
    WSAStartup(MAKEWORD(2, 2), &startup);
}

WinsockStarted::~WinsockStarted() { WSACleanup(); }

bool control_enabled(HWND window, int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }

bool quit_posted()
{
    MSG quit;
    return PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

void use_smtp_server(const char* server, std::int32_t port)
{
    mail_settings = MailSettings{};
    mail_settings.recipient = "admin@example.org";
    mail_settings.smtp_server = server;
    mail_settings.smtp_port = port;
    mail_settings.sender_mailbox = "pc@example.org";
}

bool wait_for(const std::function<bool()>& condition, DWORD timeout_ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeout_ms) return false;
        Sleep(poll_interval_ms);
    }
}

std::uint64_t a_minute_from_now() { return system_milliseconds() + 60000; }

std::string stored_setting(const std::string& file, const char* key)
{
    char value[4096] = {};
    GetPrivateProfileStringA("MAIL", key, "<missing>", value, sizeof value, file.c_str());
    return value;
}

SOCKET loopback_listener(std::uint16_t& port)
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const BOOL reuse = TRUE;
    if (port != 0) setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return s;
}

int closed_loopback_port()
{
    const WinsockStarted winsock;
    std::uint16_t port = 0;
    closesocket(loopback_listener(port));
    return port;
}
