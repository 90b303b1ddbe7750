// The bytes a TLS client keeps between calls: what came from the server and is not
// yet decrypted (a record may come in pieces, one receive may bring several), and
// what was decrypted and not yet handed out. Also what to do after each handshake
// step and each decryption, given what the security package reported. Plain
// values only, so the cases a test server cannot produce are tested directly.
#ifndef TULVO_TLS_BUFFERS_H
#define TULVO_TLS_BUFFERS_H

#include <cstddef>
#include <string>

// Room for the largest record (16 KiB of data plus its framing) several times over.
constexpr std::size_t TLS_INPUT_CAPACITY = 65536;

struct TlsBuffers {
    char input[TLS_INPUT_CAPACITY]; // received, not yet consumed: the first input_used bytes
    std::size_t input_used;
    std::string plaintext; // decrypted, not yet handed out
};

void tls_buffers_reset(TlsBuffers& buffers);

// Where the next receive goes and how much fits; 0 when the input is full.
char* input_room(TlsBuffers& buffers, std::size_t& room);
void input_received(TlsBuffers& buffers, std::size_t count);

// Hands out at most capacity decrypted bytes, oldest first; their count.
std::size_t take_plaintext(TlsBuffers& buffers, char* out, std::size_t capacity);

// One handshake step's outcome, as the package reported it, and what follows.
// CredentialsAsked: the server asked for a client certificate and the package, told
// to pick none itself, stopped; the same input goes to the next step, which goes on
// without one.
enum class HandshakeStatus { Done, Continue, CredentialsAsked, Incomplete, Failed };
enum class HandshakeNext { Finished, Step, Read, Failed };

// The step consumed the whole input except its last extra_length bytes (which
// belong to the next step, or are application data after the last one) and sent
// a token or not. Incomplete: nothing was consumed; more must be read. Done: the
// extra bytes are records for decryption, never for another step. A Continue
// that took nothing and sent nothing waits for the server rather than stepping
// again at once.
HandshakeNext after_handshake_step(TlsBuffers& buffers, HandshakeStatus status, std::size_t extra_length,
                                   bool token_sent);

// One decryption's outcome: in-place data inside the input, and the extra bytes
// (the next records) at the input's end.
enum class DecryptStatus { Ok, Incomplete, Renegotiate, Closed, Failed };
enum class DecryptNext { Decrypt, Read, Handshake, Closed, Failed };

struct Decrypted {
    DecryptStatus status;
    const char* data; // null or inside buffers.input
    std::size_t data_length;
    std::size_t extra_length;
};

// Keeps the data as plaintext, then moves the extra bytes to the input's front.
// Renegotiate (a TLS 1.3 session ticket or key update, or a renegotiation) gives
// Handshake: the kept bytes are the next handshake step's input. A decryption that
// took nothing waits for more input rather than decrypting again at once.
DecryptNext after_decrypt(TlsBuffers& buffers, const Decrypted& decrypted);

#endif
