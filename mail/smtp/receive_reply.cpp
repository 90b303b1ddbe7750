#include "mail/smtp/receive_reply.h"

#include <windows.h>

#include "platform/paint_only.h"
#include "text/text_scratch.h"
#include "mail/smtp/byte_stream.h"
#include "platform/system_calls.h"

ReplyReader reply_reader;

namespace {

const DWORD poll_pause_ms = 50;

// Polls the stream until judge decides on what has come: Accepted or Rejected
// end the wait, Undecided reads on. The window paints between the polls.
template <class Judge>
ReplyClass receive_until_judged(std::uint64_t deadline_ms, Judge judge)
{
    std::uint64_t heard_ms = system_milliseconds();
    for (;;) {
        const int received = stream_receive(text_scratch, TEXT_SCRATCH_SIZE);
        const std::uint64_t now = system_milliseconds();
        const bool past_deadline = now >= deadline_ms;
        if (received == STREAM_NOTHING || received == STREAM_PENDING) {
            if (received == STREAM_PENDING) heard_ms = now;
            if (now - heard_ms >= SERVER_SILENCE_LIMIT_MS || past_deadline) return ReplyClass::Failed;
            serve_paint_only();
            Sleep(poll_pause_ms);
            continue;
        }
        heard_ms = now;
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
