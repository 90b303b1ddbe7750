#include "mail/smtp/connection.h"

#include "app/message_texts.h"
#include "app/resource.h"

SmtpConnection smtp_connection;

namespace {

const WORD winsock_version = MAKEWORD(2, 0);

// 0 when the socket is bound and the server's first address is stored; otherwise
// the failure, already shown. The socket is the caller's to close.
int bind_and_resolve(HWND owner, SOCKET socket_handle, const char* server_name)
{
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = 0;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(socket_handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        show_text(owner, IDS_NETWORK_ERROR, MB_ICONERROR);
        return -2;
    }
    const hostent* host = gethostbyname(server_name);
    if (host == nullptr || host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
        show_text_with_value(owner, IDS_BAD_RECIPIENT, server_name);
        return -3;
    }
    CopyMemory(&smtp_connection.server_address, host->h_addr_list[0], sizeof smtp_connection.server_address);
    return 0;
}

} // namespace

int smtp_prepare(HWND owner, const char* server_name)
{
    if (WSAStartup(winsock_version, &smtp_connection.startup) != 0) {
        show_text(owner, IDS_NO_NETWORK, MB_ICONERROR);
        return -1;
    }
    const SOCKET socket_handle = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket_handle == INVALID_SOCKET) {
        show_text(owner, IDS_NETWORK_ERROR, MB_ICONERROR);
        WSACleanup();
        return -2;
    }
    const int result = bind_and_resolve(owner, socket_handle, server_name);
    if (result != 0) {
        closesocket(socket_handle);
        WSACleanup();
        return result;
    }
    smtp_connection.socket_handle = socket_handle;
    smtp_connection.server_name = server_name;
    return 0;
}

void smtp_release()
{
    if (smtp_connection.socket_handle != 0) closesocket(smtp_connection.socket_handle);
    smtp_connection.socket_handle = 0;
    WSACleanup();
}
