#include "mail/smtp/byte_stream.h"

ByteStream byte_stream;

bool stream_open(SOCKET socket_handle, StreamKind kind, const char* server_name, std::uint64_t deadline_ms)
{
    byte_stream = ByteStream{socket_handle, kind};
    return kind == StreamKind::Plain || tls_start(socket_handle, server_name, deadline_ms);
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
