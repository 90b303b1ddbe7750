#include "tests/support/test_helpers.h"

#include <winsock2.h>

#include "app/system_calls.h"

namespace {

const DWORD poll_interval_ms = 5;

} // namespace

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

int closed_loopback_port()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 0), &data);
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(probe);
    WSACleanup();
    return ntohs(address.sin_port);
}
