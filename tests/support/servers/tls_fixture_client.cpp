#include "tests/support/servers/tls_fixture_client.h"

#include <winsock2.h>

#include <cstdlib>

std::string ask_tls_fixture(const std::string& request)
{
    const char* port = std::getenv("TULVO_TEST_TLS_CONTROL");
    if (port == nullptr) return "";
    WSADATA startup;
    WSAStartup(MAKEWORD(2, 2), &startup);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string line = request + "\n";
        send(s, line.data(), static_cast<int>(line.size()), 0);
        char c;
        while (recv(s, &c, 1, 0) == 1 && c != '\n') answer += c;
    }
    closesocket(s);
    WSACleanup();
    return answer;
}
