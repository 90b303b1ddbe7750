// The bounded wait for one SMTP reply on the connected server's byte stream.
#ifndef TULVO_SMTP_RECEIVE_REPLY_H
#define TULVO_SMTP_RECEIVE_REPLY_H

#include <cstdint>

#include "mail/smtp/reply_reader.h"

// The process-wide reader; its pending bytes carry over from one reply to the next
// within a conversation.
extern ReplyReader reply_reader;

// Polls the byte stream in 50 ms steps, each chunk (at most 100 bytes) through the
// shared text buffer, until a reply is judged; the window paints meanwhile. Failed
// after 30 s without any byte (SERVER_SILENCE_LIMIT_MS, on the system_milliseconds
// clock), when the server closed and the pending bytes decide nothing, or from
// deadline_ms on when what has come does not decide. Every chunk starts the
// silence again, and so do TLS bytes that carry no data yet.
ReplyClass receive_reply(bool strict, std::uint64_t deadline_ms);

// The rest of the line just judged, up to its line feed, with the same waits;
// false when it did not come. What came after it stays in the reader.
bool receive_line_end(std::uint64_t deadline_ms);

#endif
