#include "mail/smtp/receive_reply.h"

#include <windows.h>

#include "app/text_scratch.h"
#include "scheduler/system_calls.h"

ReplyReader reply_reader;

namespace {

const int receive_attempts = 21;
const DWORD poll_pause_ms = 50;

} // namespace

ReplyClass receive_reply(SOCKET socket_handle, bool strict, std::uint64_t deadline_ms)
{
    int failed_receives = 0;
    for (;;) {
        const int received = recv(socket_handle, text_scratch, TEXT_SCRATCH_SIZE, 0);
        const bool past_deadline = system_milliseconds() >= deadline_ms;
        if (received == SOCKET_ERROR) {
            if (++failed_receives == receive_attempts || past_deadline) return ReplyClass::Failed;
            Sleep(poll_pause_ms);
            continue;
        }
        failed_receives = 0;
        const ReplyClass reply = classify_reply(reply_reader, text_scratch, received, strict);
        if (reply != ReplyClass::Undecided) return reply;
        if (received == 0 || past_deadline) return ReplyClass::Failed;
    }
}
