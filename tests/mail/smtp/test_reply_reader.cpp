#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "mail/smtp/reply_reader.h"

namespace {

const ReplyClass accepted = ReplyClass::Accepted;
const ReplyClass rejected = ReplyClass::Rejected;
const ReplyClass undecided = ReplyClass::Undecided;

// A fresh reader with the ring filled with a marker, so that a stray read shows.
ReplyReader fresh_reader()
{
    ReplyReader reader;
    for (unsigned char& byte : reader.ring) byte = 0xEE;
    reader.read_index = 0;
    reader.write_index = 0;
    reader.inside_line = false;
    return reader;
}

// The chunk in storage of its exact size, so that the sanitizers see any overread.
ReplyClass classify(ReplyReader& reader, const std::string& chunk, bool strict)
{
    const std::unique_ptr<char[]> exact(new char[chunk.size() + (chunk.empty() ? 1 : 0)]);
    chunk.copy(exact.get(), chunk.size());
    return classify_reply(reader, exact.get(), static_cast<std::int32_t>(chunk.size()), strict);
}

int pending(const ReplyReader& reader) { return static_cast<std::uint8_t>(reader.write_index - reader.read_index); }

std::string pending_bytes(ReplyReader reader)
{
    std::string bytes;
    while (!ring_is_empty(reader)) bytes += static_cast<char>(ring_get(reader));
    return bytes;
}

} // namespace

TEST(ReplyReaderRing, StoresUpTo255PendingBytesAndDropsTheRest)
{
    ReplyReader reader = fresh_reader();
    for (int i = 0; i < 254; ++i) ring_put(reader, static_cast<unsigned char>(i));
    EXPECT_EQ(pending(reader), 254);
    ring_put(reader, 0xAB);
    EXPECT_EQ(pending(reader), 255);
    ring_put(reader, 0xCD);
    EXPECT_EQ(pending(reader), 255);
    const std::string bytes = pending_bytes(reader);
    ASSERT_EQ(bytes.size(), 255u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[253]), 253);
    EXPECT_EQ(static_cast<unsigned char>(bytes[254]), 0xAB);
}

TEST(ReplyReaderRing, WrapsAroundTheEndOfTheArray)
{
    ReplyReader reader = fresh_reader();
    reader.read_index = 250;
    reader.write_index = 250;
    for (int i = 0; i < 20; ++i) ring_put(reader, static_cast<unsigned char>('a' + i));
    EXPECT_EQ(reader.write_index, 14);
    EXPECT_EQ(pending_bytes(reader), "abcdefghijklmnopqrst");
}

TEST(ReplyReaderRing, GetOnEmptyRingGivesZeroAndChangesNothing)
{
    ReplyReader reader = fresh_reader();
    reader.read_index = 7;
    reader.write_index = 7;
    EXPECT_TRUE(ring_is_empty(reader));
    EXPECT_EQ(ring_get(reader), 0);
    EXPECT_EQ(reader.read_index, 7);
    EXPECT_EQ(reader.write_index, 7);
}

TEST(ReplyReaderRing, DiscardEmptiesWithoutRewindingOrClearing)
{
    ReplyReader reader = fresh_reader();
    for (char c : std::string("250 ok")) ring_put(reader, static_cast<unsigned char>(c));
    ring_discard(reader);
    EXPECT_TRUE(ring_is_empty(reader));
    EXPECT_EQ(reader.read_index, 6);
    EXPECT_EQ(reader.ring[0], '2');
}

TEST(ReplyReader, ResetLeavesRingEmptyAndReaderBetweenLines)
{
    ReplyReader reader = fresh_reader();
    ASSERT_EQ(classify(reader, "220 ready\r\n", true), accepted);
    ASSERT_TRUE(reader.inside_line);
    reply_reset(reader);
    EXPECT_TRUE(ring_is_empty(reader));
    EXPECT_FALSE(reader.inside_line);
    EXPECT_EQ(classify(reader, "5", true), undecided);
}

TEST(ReplyReader, GreetingLeavesTheRestOfItsLinePending)
{
    ReplyReader reader = fresh_reader();
    EXPECT_EQ(classify(reader, "220 ready\r\n", true), accepted);
    EXPECT_TRUE(reader.inside_line);
    EXPECT_EQ(pending_bytes(reader), "20 ready\r\n");
    EXPECT_EQ(classify(reader, "250 OK\r\n", true), accepted);
    EXPECT_EQ(pending_bytes(reader), "50 OK\r\n");
}

struct FirstLineCase {
    const char* reply;
    ReplyClass strict;
    ReplyClass lenient;
};

TEST(ReplyReader, JudgesTheFirstSignificantByteOfASingleLine)
{
    const FirstLineCase cases[] = {
        {"220 ready\r\n", accepted, accepted},
        {"250 OK\r\n", accepted, accepted},
        {"235 ok\r\n", accepted, accepted},
        {"334 VXNlcm5hbWU6\r\n", rejected, accepted},
        {"354 go ahead\r\n", rejected, accepted},
        {"421 closing\r\n", rejected, rejected},
        {"451 later\r\n", rejected, rejected},
        {"535 bad\r\n", rejected, rejected},
        {"550 no\r\n", rejected, rejected},
        {"199 odd\r\n", rejected, rejected},
        {"\r\n\r\n\t\x01 250 ok\r\n", rejected, rejected},
        {"\r\n\n\x1f\x7f\r\n", rejected, rejected},
        {"\r\n\x01\x1f"
         "250 ok\r\n",
         accepted, accepted},
        {"\x80\xff\xc0"
         "250 ok\r\n",
         accepted, accepted},
        {"\x80\xff\xc0"
         "550 no\r\n",
         rejected, rejected},
        {"ok\r\n", rejected, rejected},
        {"2\r\n", accepted, accepted},
        {"3\n", rejected, accepted},
        {"25\r\n", accepted, accepted},
        {"250\r\n", accepted, accepted},
        {"250 \r\n", accepted, accepted},
    };
    for (const FirstLineCase& c : cases) {
        for (bool strict : {true, false}) {
            ReplyReader reader = fresh_reader();
            EXPECT_EQ(classify(reader, c.reply, strict), strict ? c.strict : c.lenient)
                << c.reply << (strict ? " strict" : " lenient");
        }
    }
}

TEST(ReplyReader, MultiLineReplyIsJudgedOnItsLastLine)
{
    ReplyReader reader = fresh_reader();
    EXPECT_EQ(classify(reader, "250-first\r\n250-second\r\n550 last\r\n", true), rejected);
    EXPECT_EQ(classify(reader, "220-welcome\r\n220 ready\r\n", true), accepted);
    EXPECT_EQ(pending_bytes(reader), "20 ready\r\n");
}

TEST(ReplyReader, EachCommandGetsItsOwnMultiLineReply)
{
    ReplyReader reader = fresh_reader();
    EXPECT_EQ(classify(reader, "220-mail.example.org\r\n220-no spam\r\n220 ready\r\n", true), accepted);
    EXPECT_EQ(classify(reader, "250-hello\r\n250 HELP\r\n", true), accepted);
    EXPECT_EQ(classify(reader, "334 VXNlcm5hbWU6\r\n", false), accepted);
    EXPECT_EQ(classify(reader, "334 UGFzc3dvcmQ6\r\n", false), accepted);
    EXPECT_EQ(classify(reader, "535-5.7.8 bad\r\n535 5.7.8 see docs\r\n", true), rejected);
}

TEST(ReplyReader, ContinuationMarkNeedsItsFourthByte)
{
    ReplyReader reader = fresh_reader();
    EXPECT_EQ(classify(reader, "550", true), undecided);
    EXPECT_EQ(pending_bytes(reader), "550");
    EXPECT_EQ(classify(reader, "-wait\r\n", true), undecided);
    EXPECT_EQ(classify(reader, "250 ok\r\n", true), accepted);
}

TEST(ReplyReader, LineEndingBeforeItsFourthByteIsFinal)
{
    ReplyReader reader = fresh_reader();
    EXPECT_EQ(classify(reader, "25\n", true), accepted);
    EXPECT_EQ(classify(reader, "5\n", true), rejected);
}

TEST(ReplyReader, TailOfADecidedLineAloneIsUndecided)
{
    ReplyReader reader = fresh_reader();
    ASSERT_EQ(classify(reader, "220 ready\r", true), accepted);
    EXPECT_EQ(classify(reader, "\n", true), undecided);
    EXPECT_FALSE(reader.inside_line);
    EXPECT_EQ(classify(reader, "250 ok\r\n", true), accepted);
}

TEST(ReplyReader, DecidedLineIsSkippedWhicheverChunkItsLineFeedComesIn)
{
    ReplyReader reader = fresh_reader();
    ASSERT_EQ(classify(reader, "250 a very long", true), accepted);
    EXPECT_EQ(classify(reader, " line that 550 goes on", true), undecided);
    EXPECT_EQ(classify(reader, "\r", true), undecided);
    EXPECT_EQ(classify(reader, "\n550 no\r\n", true), rejected);
}

TEST(ReplyReader, EmptyOrNegativeLengthAppendsNothing)
{
    ReplyReader reader = fresh_reader();
    EXPECT_EQ(classify_reply(reader, "250 ok\r\n", 0, true), undecided);
    EXPECT_EQ(classify_reply(reader, "250 ok\r\n", -5, true), undecided);
    EXPECT_EQ(classify_reply(reader, nullptr, 0, true), undecided);
    EXPECT_TRUE(ring_is_empty(reader));
}

TEST(ReplyReader, PendingLineIsDecidedByAnEmptyChunk)
{
    ReplyReader reader = fresh_reader();
    ASSERT_EQ(classify(reader, "220 hi\r\n250 ok\r\n", true), accepted);
    EXPECT_EQ(classify_reply(reader, nullptr, 0, true), accepted);
    EXPECT_EQ(classify_reply(reader, nullptr, 0, true), undecided);
}

TEST(ReplyReader, BytesThatFindTheRingFullAreLost)
{
    std::string accepting;
    std::string refusing;
    for (int i = 0; i < 20; ++i) {
        accepting += "250\r\n";
        refusing += "550\r\n";
    }
    ReplyReader reader = fresh_reader();
    EXPECT_EQ(classify(reader, accepting, true), accepted);
    EXPECT_EQ(pending(reader), 99);
    EXPECT_EQ(classify(reader, accepting, true), accepted);
    EXPECT_EQ(pending(reader), 194);
    // Only 61 of these 100 bytes fit: twelve lines and the "5" of the thirteenth.
    EXPECT_EQ(classify(reader, refusing, true), accepted);
    EXPECT_EQ(pending(reader), 250);

    std::vector<ReplyClass> rest;
    for (ReplyClass r; (r = classify_reply(reader, nullptr, 0, true)) != undecided;) rest.push_back(r);
    ASSERT_EQ(rest.size(), 37u + 12u);
    for (std::size_t i = 0; i < rest.size(); ++i) EXPECT_EQ(rest[i], i < 37 ? accepted : rejected) << i;
    EXPECT_EQ(pending_bytes(reader), "5");
}

TEST(ReplyReader, FullRingDropsTheByteThatWouldDecide)
{
    ReplyReader reader = fresh_reader();
    const std::string continuation = "250-" + std::string(249, 'x') + "\r\n";
    ASSERT_EQ(continuation.size(), 255u);
    for (char c : continuation) ring_put(reader, static_cast<unsigned char>(c));
    EXPECT_EQ(classify(reader, "2", true), undecided);
    EXPECT_TRUE(ring_is_empty(reader));
    EXPECT_EQ(classify(reader, "250 ok\r\n", true), accepted);
}

namespace {

// What the decisions must be, read off the whole stream at once: skip insignificant
// bytes, skip continuation lines, judge final lines, one decision per command.
std::vector<ReplyClass> expected_decisions(const std::string& stream, const std::vector<bool>& strict)
{
    std::vector<ReplyClass> decisions;
    const std::size_t n = stream.size();
    std::size_t i = 0;
    auto past_line_feed = [&](std::size_t from) {
        const std::size_t lf = stream.find('\n', from);
        return lf == std::string::npos ? n : lf + 1;
    };
    while (i < n) {
        const unsigned char first = static_cast<unsigned char>(stream[i]);
        if (first < 0x20 || first >= 0x80) {
            ++i;
            continue;
        }
        bool known = false;
        bool continuation = false;
        for (std::size_t offset = 1; offset <= 3 && !known; ++offset) {
            if (i + offset >= n) break;
            if (stream[i + offset] == '\n')
                known = true;
            else if (offset == 3) {
                known = true;
                continuation = stream[i + offset] == '-';
            }
        }
        if (!known) break;
        if (!continuation) {
            const bool lenient = !strict[decisions.size()];
            decisions.push_back(first == '2' || (first == '3' && lenient) ? accepted : rejected);
        }
        i = past_line_feed(i + 1);
    }
    return decisions;
}

// Feeds the chunks as the receive loop does, then lets the pending bytes decide.
std::vector<ReplyClass> decisions_for_chunks(const std::string& stream, const std::vector<std::size_t>& cuts,
                                             const std::vector<bool>& strict)
{
    ReplyReader reader = fresh_reader();
    std::vector<ReplyClass> decisions;
    std::size_t from = 0;
    auto feed = [&](std::size_t to) {
        const ReplyClass r = classify(reader, stream.substr(from, to - from), strict[decisions.size()]);
        if (r != undecided) decisions.push_back(r);
        from = to;
    };
    for (std::size_t cut : cuts) feed(cut);
    feed(stream.size());
    for (ReplyClass r; (r = classify_reply(reader, nullptr, 0, strict[decisions.size()])) != undecided;)
        decisions.push_back(r);
    return decisions;
}

// Replies as servers send them, and worse: multi-line replies, bare line feeds,
// CR without LF, controls and 8-bit bytes between lines, short and empty lines.
std::string random_stream(std::mt19937& random)
{
    const char* const codes[] = {"220", "250", "235", "334", "354", "421", "535", "550", "2", "25", "3", "", "x"};
    const char* const marks[] = {" ", "-", "-", " ", "", "\t"};
    const char* const texts[] = {"", "ok", "mail.example.org ESMTP", "VXNlcm5hbWU6", "-", "250-", "\x80\xff"};
    const char* const ends[] = {"\r\n", "\r\n", "\n", "\r", "\r\r\n"};
    const char* const between[] = {"", "", "", "\r\n", "\x01", "\xc0", " "};
    std::string stream;
    for (;;) {
        std::string line = between[random() % 7];
        line += codes[random() % 13];
        line += marks[random() % 6];
        line += texts[random() % 7];
        line += ends[random() % 5];
        if (stream.size() + line.size() > 254) return stream;
        stream += line;
    }
}

} // namespace

TEST(ReplyReaderProperty, ReferenceDecisionsForAKnownConversation)
{
    const std::string stream = "220-a\r\n220 b\r\n250 c\r\n334 d\r\n334 e\r\n235 f\r\n250 g\r\n550 h\r\n";
    const std::vector<bool> strict = {true, true, false, false, true, true, true, true};
    const std::vector<ReplyClass> expected = {accepted, accepted, accepted, accepted, accepted, accepted, rejected};
    EXPECT_EQ(expected_decisions(stream, strict), expected);
    EXPECT_EQ(decisions_for_chunks(stream, {}, strict), expected);
}

TEST(ReplyReaderProperty, DecisionsDoNotDependOnHowTheStreamIsSplit)
{
    std::mt19937 random(20240517);
    for (int round = 0; round < 300; ++round) {
        const std::string stream = random_stream(random);
        std::vector<bool> strict(stream.size() + 1);
        for (std::size_t i = 0; i < strict.size(); ++i) strict[i] = random() % 2 == 0;
        const std::vector<ReplyClass> expected = expected_decisions(stream, strict);
        ASSERT_EQ(decisions_for_chunks(stream, {}, strict), expected) << "whole, round " << round;
        for (std::size_t cut = 1; cut < stream.size(); ++cut)
            ASSERT_EQ(decisions_for_chunks(stream, {cut}, strict), expected) << "cut " << cut << ", round " << round;
        std::vector<std::size_t> every_byte;
        for (std::size_t cut = 1; cut < stream.size(); ++cut) every_byte.push_back(cut);
        ASSERT_EQ(decisions_for_chunks(stream, every_byte, strict), expected) << "bytewise, round " << round;
        for (int split = 0; split < 40; ++split) {
            std::vector<std::size_t> cuts;
            for (std::size_t at = 0; at < stream.size();) {
                at += 1 + random() % 12;
                if (at < stream.size()) cuts.push_back(at);
            }
            ASSERT_EQ(decisions_for_chunks(stream, cuts, strict), expected) << "random split, round " << round;
        }
    }
}

TEST(ReplyReaderProperty, SplitBetweenCarriageReturnAndLineFeed)
{
    const std::string stream = "220 a\r\n250-b\r\n250 c\r\n354 d\r\n";
    const std::vector<bool> strict = {true, true, false, true};
    const std::vector<ReplyClass> expected = {accepted, accepted, accepted};
    for (std::size_t cr = stream.find('\r'); cr != std::string::npos; cr = stream.find('\r', cr + 1))
        EXPECT_EQ(decisions_for_chunks(stream, {cr + 1}, strict), expected) << cr;
}

// The EHLO reply read whole, in one chunk and a byte at a time: does it offer STARTTLS?
TEST(ReplyReader, StartTlsIsOfferedOnlyByALineOfItsOwn)
{
    const struct {
        const char* replies; // the EHLO reply, after an earlier one in the last case
        int count;
        bool offered;
    } cases[] = {
        {"250-mail.example.org\r\n250-STARTTLS\r\n250 AUTH LOGIN\r\n", 1, true},
        {"250-mail.example.org\r\n250 STARTTLS\r\n", 1, true},
        {"250-mail.example.org\r\n250-starttls\r\n250 8BITMIME\r\n", 1, true},
        {"250-mail.example.org\r\n250-STARTTLS extra\r\n250 8BITMIME\r\n", 1, true},
        {"250-mail.example.org\r\n250-STARTTLSX\r\n250 8BITMIME\r\n", 1, false},
        {"250-mail.example.org\r\n250-X STARTTLS\r\n250 8BITMIME\r\n", 1, false},
        {"250-mail.example.org\r\n250-START\r\n250 TLS\r\n", 1, false},
        {"250 mail.example.org STARTTLS\r\n", 1, false},
        {"220-STARTTLS\r\n220 ready\r\n250-mail.example.org\r\n250 AUTH LOGIN\r\n", 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.replies);
        const std::string stream = c.replies;
        for (const std::size_t chunk_size : {stream.size(), std::size_t{1}}) {
            ReplyReader reader = fresh_reader();
            reply_reset(reader);
            int decided = 0;
            for (std::size_t at = 0; at < stream.size(); at += chunk_size)
                if (classify(reader, stream.substr(at, chunk_size), true) == accepted) ++decided;
            while (decided < c.count && classify(reader, "", true) == accepted) ++decided;
            EXPECT_EQ(decided, c.count);
            EXPECT_TRUE(line_finished(reader, nullptr, 0));
            EXPECT_EQ(reader.offers_starttls, c.offered) << "chunks of " << chunk_size;
        }
    }
}

TEST(ReplyReader, BytesAfterTheFinishedLineStayPending)
{
    ReplyReader reader = fresh_reader();
    reply_reset(reader);
    ASSERT_EQ(classify(reader, "220 go", true), accepted);
    EXPECT_FALSE(line_finished(reader, " ahead\r", 7));
    EXPECT_TRUE(line_finished(reader, "\n250 injected\r\n", 15));
    EXPECT_EQ(pending_bytes(reader), "250 injected\r\n");
}
