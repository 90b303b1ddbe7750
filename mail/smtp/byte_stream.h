// The connected server as one stream of bytes under the SMTP dialogue and the reply
// reader: the socket itself, or a TLS session over it. On the plain socket every
// call is the one Windows Sockets call it stands for, nothing added.
#ifndef TULVO_SMTP_BYTE_STREAM_H
#define TULVO_SMTP_BYTE_STREAM_H

#include <winsock2.h>

#include <cstdint>
#include <string>

#include "mail/tls/tls_session.h"

enum class StreamKind { Plain, Tls };

// stream_receive's results besides a count of bytes, as recv gives them on the
// plain socket; only TLS gives STREAM_PENDING.
constexpr int STREAM_CLOSED = 0;
constexpr int STREAM_NOTHING = SOCKET_ERROR; // nothing now, or an error: not told apart
constexpr int STREAM_PENDING = TLS_PENDING;  // bytes came, but no data yet
static_assert(TLS_CLOSED == STREAM_CLOSED && TLS_NOTHING == STREAM_NOTHING, "one set of receive results");

struct ByteStream {
    SOCKET socket_handle;
    StreamKind kind;
};

extern ByteStream byte_stream;

// Over the connected socket, plain.
void stream_open(SOCKET socket_handle);

// From now on TLS over the same socket: the handshake and the server's certificate
// for server_name, bounded by deadline_ms; false when that failed.
bool stream_start_tls(const char* server_name, std::uint64_t deadline_ms);

// Bytes the server sent that nothing has read yet, on the plain socket.
bool stream_has_unread_bytes();

// Sends all bytes at once; whether that worked shows in the reply that follows.
void stream_send(const std::string& bytes);

// Does not wait: at most capacity bytes, or a result above.
int stream_receive(char* buffer, int capacity);

// Ends a TLS session (the socket stays for smtp_release); nothing for the plain one.
void stream_close();

#endif
