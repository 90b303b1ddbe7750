#include "mail/smtp/byte_stream.h"

ByteStream byte_stream;

void stream_open(SOCKET socket_handle) { byte_stream = ByteStream{socket_handle, StreamKind::Plain}; }

bool stream_start_tls(const char* server_name, std::uint64_t deadline_ms)
{
    byte_stream.kind = StreamKind::Tls;
    return tls_start(byte_stream.socket_handle, server_name, deadline_ms);
}

bool stream_has_unread_bytes()
{
    u_long count = 0;
    return ioctlsocket(byte_stream.socket_handle, FIONREAD, &count) != 0 || count > 0;
}

void stream_send(const std::string& bytes)
{
    if (byte_stream.kind == StreamKind::Tls)
        tls_send(bytes.data(), static_cast<int>(bytes.size()));
    else
        send(byte_stream.socket_handle, bytes.data(), static_cast<int>(bytes.size()), 0);
}

int stream_receive(char* buffer, int capacity)
{
    if (byte_stream.kind == StreamKind::Tls) return tls_receive(buffer, capacity);
    return recv(byte_stream.socket_handle, buffer, capacity, 0);
}

void stream_close()
{
    if (byte_stream.kind == StreamKind::Tls) tls_end();
    byte_stream.kind = StreamKind::Plain;
}
