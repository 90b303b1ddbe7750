#include "mail/tls/tls_buffers.h"

#include <cstring>

namespace {

// The last extra_length bytes of the input become the whole input.
void keep_tail(TlsBuffers& buffers, std::size_t extra_length)
{
    if (extra_length > buffers.input_used) extra_length = buffers.input_used;
    std::memmove(buffers.input, buffers.input + buffers.input_used - extra_length, extra_length);
    buffers.input_used = extra_length;
}

} // namespace

void tls_buffers_reset(TlsBuffers& buffers)
{
    buffers.input_used = 0;
    buffers.plaintext.clear();
}

char* input_room(TlsBuffers& buffers, std::size_t& room)
{
    room = TLS_INPUT_CAPACITY - buffers.input_used;
    return buffers.input + buffers.input_used;
}

void input_received(TlsBuffers& buffers, std::size_t count) { buffers.input_used += count; }

std::size_t take_plaintext(TlsBuffers& buffers, char* out, std::size_t capacity)
{
    const std::size_t count = buffers.plaintext.size() < capacity ? buffers.plaintext.size() : capacity;
    buffers.plaintext.copy(out, count);
    buffers.plaintext.erase(0, count);
    return count;
}

HandshakeNext after_handshake_step(TlsBuffers& buffers, HandshakeStatus status, std::size_t extra_length,
                                   bool token_sent)
{
    const std::size_t before = buffers.input_used;
    switch (status) {
    case HandshakeStatus::Incomplete: return HandshakeNext::Read;
    case HandshakeStatus::Failed: return HandshakeNext::Failed;
    case HandshakeStatus::CredentialsAsked: return HandshakeNext::Step;
    case HandshakeStatus::Done: keep_tail(buffers, extra_length); return HandshakeNext::Finished;
    case HandshakeStatus::Continue: break;
    }
    keep_tail(buffers, extra_length);
    const bool stuck = !token_sent && buffers.input_used == before;
    return buffers.input_used > 0 && !stuck ? HandshakeNext::Step : HandshakeNext::Read;
}

DecryptNext after_decrypt(TlsBuffers& buffers, const Decrypted& decrypted)
{
    if (decrypted.status == DecryptStatus::Incomplete) return DecryptNext::Read;
    if (decrypted.status == DecryptStatus::Failed) return DecryptNext::Failed;
    // The data lies inside the input: taken before the extra bytes move over it.
    if (decrypted.data != nullptr) buffers.plaintext.append(decrypted.data, decrypted.data_length);
    const std::size_t before = buffers.input_used;
    keep_tail(buffers, decrypted.extra_length);
    switch (decrypted.status) {
    case DecryptStatus::Closed: return DecryptNext::Closed;
    case DecryptStatus::Renegotiate: return DecryptNext::Handshake;
    default: return buffers.input_used > 0 && buffers.input_used < before ? DecryptNext::Decrypt : DecryptNext::Read;
    }
}
