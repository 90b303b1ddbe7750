#include "mail/smtp/receive_reply.h"

#include <windows.h>

#include "app/text_scratch.h"
#include "mail/smtp/byte_stream.h"
#include "app/system_calls.h"

ReplyReader reply_reader;

namespace {

const int receive_attempts = 21;
const DWORD poll_pause_ms = 50;

// Polls the stream until judge decides on what has come: Accepted or Rejected
// end the wait, Undecided reads on.
template <class Judge>
ReplyClass receive_until_judged(std::uint64_t deadline_ms, Judge judge)
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
        const ReplyClass reply = judge(received);
        if (reply != ReplyClass::Undecided) return reply;
        if (received == STREAM_CLOSED || past_deadline) return ReplyClass::Failed;
    }
}

} // namespace

ReplyClass receive_reply(bool strict, std::uint64_t deadline_ms)
{
    return receive_until_judged(
        deadline_ms, [strict](int received) { return classify_reply(reply_reader, text_scratch, received, strict); });
}

bool receive_line_end(std::uint64_t deadline_ms)
{
    if (line_finished(reply_reader, nullptr, 0)) return true;
    return receive_until_judged(deadline_ms, [](int received) {
               return line_finished(reply_reader, text_scratch, received) ? ReplyClass::Accepted
                                                                          : ReplyClass::Undecided;
           }) == ReplyClass::Accepted;
}
