// Windows Sockets started, a bound TCP socket and the SMTP server's first IPv4
// address, prepared ahead of the send and released after it. The server's name is
// kept for the TLS certificate check.
#ifndef TULVO_SMTP_CONNECTION_H
#define TULVO_SMTP_CONNECTION_H

#include <winsock2.h>
#include <windows.h>

#include <string>

struct SmtpConnection {
    SOCKET socket_handle;         // 0: none
    unsigned long server_address; // network byte order
    std::string server_name;      // as given when prepared
    WSADATA startup;
};

extern SmtpConnection smtp_connection;

// 0 prepared; -1 Windows Sockets did not start; -2 socket or bind failed; -3 the
// name did not resolve. Every failure is shown (owned by owner) and leaves nothing open.
int smtp_prepare(HWND owner, const char* server_name);

// Closes the socket if there is one and ends Windows Sockets.
void smtp_release();

#endif
