// The bounded wait for one SMTP reply on the connected, non-blocking socket.
#ifndef TULVO_SMTP_RECEIVE_REPLY_H
#define TULVO_SMTP_RECEIVE_REPLY_H

#include <winsock2.h>

#include <cstdint>

#include "mail/smtp/reply_reader.h"

// The process-wide reader; its pending bytes carry over from one reply to the next
// within a conversation.
extern ReplyReader reply_reader;

// Polls in 50 ms steps, each chunk (at most 100 bytes) through the shared text
// buffer, until a reply is judged. Failed after about one second without any
// byte (21 receives, 20 pauses), when the server closed and the pending bytes
// decide nothing, or from deadline_ms on (system_milliseconds clock) when what
// has come does not decide. Every chunk starts the second again.
ReplyClass receive_reply(SOCKET socket_handle, bool strict, std::uint64_t deadline_ms);

#endif
