#include "mail/smtp/receive_reply.h"

#include <windows.h>

#include "app/text_scratch.h"
#include "mail/smtp/byte_stream.h"
#include "scheduler/system_calls.h"

ReplyReader reply_reader;

namespace {

const int receive_attempts = 21;
const DWORD poll_pause_ms = 50;

} // namespace

ReplyClass receive_reply(bool strict, std::uint64_t deadline_ms)
{
    int failed_receives = 0;
    for (;;) {
        const int received = stream_receive(text_scratch, TEXT_SCRATCH_SIZE);
        const bool past_deadline = system_milliseconds() >= deadline_ms;
        if (received == STREAM_NOTHING || received == STREAM_PENDING) {
            if (received == STREAM_PENDING) failed_receives = 0;
            if (++failed_receives == receive_attempts || past_deadline) return ReplyClass::Failed;
            Sleep(poll_pause_ms);
            continue;
        }
        failed_receives = 0;
        const ReplyClass reply = classify_reply(reply_reader, text_scratch, received, strict);
        if (reply != ReplyClass::Undecided) return reply;
        if (received == STREAM_CLOSED || past_deadline) return ReplyClass::Failed;
    }
}
