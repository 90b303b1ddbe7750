// A TLS client session over a connected, non-blocking socket, through Windows' own
// SChannel. The handshake names the server (SNI); afterwards the program itself
// requires TLS 1.2 or newer and a certificate that chains to the system's trusted
// roots and matches the server name. One session at a time; it knows nothing of
// the protocol spoken inside it.
#ifndef TULVO_TLS_SESSION_H
#define TULVO_TLS_SESSION_H

#include <winsock2.h>

#include <cstdint>

// How long a server may stay silent while a reply or a handshake step is awaited.
// Servers take seconds over AUTH or to scan a message before they answer its end;
// the whole send has its own, longer bound.
constexpr std::uint64_t SERVER_SILENCE_LIMIT_MS = 30000;

// tls_receive's results besides a count of bytes.
constexpr int TLS_CLOSED = 0;   // the server closed, or the session broke
constexpr int TLS_NOTHING = -1; // nothing has come
constexpr int TLS_PENDING = -2; // bytes came, but no application data yet (a part of a
                                // record, an empty record, a handshake message)

// Handshake and checks; every wait for the server ends after
// SERVER_SILENCE_LIMIT_MS of silence or at deadline_ms (system_milliseconds
// clock), which also bounds the session's later waits; the window paints
// meanwhile. false: no session (the handshake failed, the protocol is older than
// TLS 1.2, or the certificate is not trusted for server_name).
bool tls_start(SOCKET socket_handle, const char* server_name, std::uint64_t deadline_ms);

// Encrypts and sends all bytes; false when that failed.
bool tls_send(const char* bytes, int length);

// Does not wait: takes what the socket holds, decrypts it and hands out at most
// capacity bytes of application data, or one of the results above.
int tls_receive(char* buffer, int capacity);

// Says goodbye (close_notify) when a session is up and frees whatever was held;
// harmless when nothing is.
void tls_end();

#endif
