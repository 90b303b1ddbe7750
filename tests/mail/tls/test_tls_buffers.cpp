#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "mail/tls/tls_buffers.h"

namespace {

// Buffers holding these received bytes.
std::unique_ptr<TlsBuffers> received(const std::string& bytes)
{
    auto buffers = std::make_unique<TlsBuffers>();
    tls_buffers_reset(*buffers);
    std::size_t room = 0;
    char* at = input_room(*buffers, room);
    std::memcpy(at, bytes.data(), bytes.size());
    input_received(*buffers, bytes.size());
    return buffers;
}

std::string input_of(const TlsBuffers& buffers) { return std::string(buffers.input, buffers.input_used); }

std::string all_plaintext(TlsBuffers& buffers)
{
    std::string text;
    char chunk[100];
    while (std::size_t n = take_plaintext(buffers, chunk, sizeof chunk)) text.append(chunk, n);
    return text;
}

} // namespace

// A decryption works in place: its data lies in the input, ahead of the next
// record's bytes that move to the front.
TEST(TlsBuffers, DataIsKeptBeforeTheNextRecordMovesOverIt)
{
    auto buffers = received("HDR250 ok\r\nTRAILnext-record");
    const Decrypted record{DecryptStatus::Ok, buffers->input + 3, 8, 11};
    EXPECT_EQ(after_decrypt(*buffers, record), DecryptNext::Decrypt);
    EXPECT_EQ(input_of(*buffers), "next-record");
    EXPECT_EQ(all_plaintext(*buffers), "250 ok\r\n");
}

TEST(TlsBuffers, AnEmptyRecordDecryptsToNothingAndReadingGoesOn)
{
    auto buffers = received("empty-record");
    EXPECT_EQ(after_decrypt(*buffers, {DecryptStatus::Ok, buffers->input + 5, 0, 0}), DecryptNext::Read);
    EXPECT_EQ(buffers->input_used, 0u);
    EXPECT_TRUE(buffers->plaintext.empty());
    auto followed = received("emptyNEXT");
    EXPECT_EQ(after_decrypt(*followed, {DecryptStatus::Ok, nullptr, 0, 4}), DecryptNext::Decrypt);
    EXPECT_EQ(input_of(*followed), "NEXT");
}

TEST(TlsBuffers, AnIncompleteRecordStaysWholeUntilMoreComes)
{
    auto buffers = received("half a rec");
    EXPECT_EQ(after_decrypt(*buffers, {DecryptStatus::Incomplete, nullptr, 0, 0}), DecryptNext::Read);
    EXPECT_EQ(input_of(*buffers), "half a rec");
}

// A TLS 1.3 session ticket (or any new handshake the server starts) arrives as
// SEC_I_RENEGOTIATE: the bytes behind the record feed the next handshake step.
TEST(TlsBuffers, RenegotiationHandsTheExtraBytesToTheHandshake)
{
    auto buffers = received("ticket-recordDATAhandshake");
    EXPECT_EQ(after_decrypt(*buffers, {DecryptStatus::Renegotiate, buffers->input + 13, 4, 9}), DecryptNext::Handshake);
    EXPECT_EQ(input_of(*buffers), "handshake");
    EXPECT_EQ(all_plaintext(*buffers), "DATA");
    auto bare = received("ticket-record");
    EXPECT_EQ(after_decrypt(*bare, {DecryptStatus::Renegotiate, nullptr, 0, 0}), DecryptNext::Handshake);
    EXPECT_EQ(bare->input_used, 0u) << "the step then runs with an empty token";
}

TEST(TlsBuffers, CloseNotifyAndBrokenRecordsEndTheStream)
{
    auto closing = received("250 ok\r\nalert");
    EXPECT_EQ(after_decrypt(*closing, {DecryptStatus::Closed, closing->input, 8, 0}), DecryptNext::Closed);
    EXPECT_EQ(all_plaintext(*closing), "250 ok\r\n") << "what came before the alert is still handed out";
    auto broken = received("garbage");
    EXPECT_EQ(after_decrypt(*broken, {DecryptStatus::Failed, nullptr, 0, 0}), DecryptNext::Failed);
}

TEST(TlsBuffers, HandshakeStepsConsumeTheirInputAndKeepWhatFollows)
{
    auto buffers = received("server-hello+cert");
    EXPECT_EQ(after_handshake_step(*buffers, HandshakeStatus::Incomplete, 0, false), HandshakeNext::Read);
    EXPECT_EQ(input_of(*buffers), "server-hello+cert");
    EXPECT_EQ(after_handshake_step(*buffers, HandshakeStatus::Continue, 5, true), HandshakeNext::Step);
    EXPECT_EQ(input_of(*buffers), "+cert");
    EXPECT_EQ(after_handshake_step(*buffers, HandshakeStatus::Continue, 5, false), HandshakeNext::Read)
        << "a step that took nothing and sent nothing must not spin";
    EXPECT_EQ(after_handshake_step(*buffers, HandshakeStatus::Continue, 0, true), HandshakeNext::Read);
    EXPECT_EQ(buffers->input_used, 0u);
    auto finished = received("finished220 hi");
    EXPECT_EQ(after_handshake_step(*finished, HandshakeStatus::Done, 6, true), HandshakeNext::Finished);
    EXPECT_EQ(input_of(*finished), "220 hi") << "application data right behind the handshake";
    EXPECT_EQ(after_handshake_step(*finished, HandshakeStatus::Failed, 0, false), HandshakeNext::Failed);
    EXPECT_EQ(after_decrypt(*finished, {DecryptStatus::Ok, nullptr, 0, 6}), DecryptNext::Read)
        << "a decryption that took nothing must not spin";
}

TEST(TlsBuffers, PlaintextIsHandedOutAtMostAChunkAtATime)
{
    auto buffers = received("");
    const std::string long_reply(250, 'x');
    buffers->plaintext = long_reply;
    char chunk[100];
    EXPECT_EQ(take_plaintext(*buffers, chunk, sizeof chunk), 100u);
    EXPECT_EQ(take_plaintext(*buffers, chunk, sizeof chunk), 100u);
    EXPECT_EQ(take_plaintext(*buffers, chunk, sizeof chunk), 50u);
    EXPECT_EQ(take_plaintext(*buffers, chunk, sizeof chunk), 0u);
}

TEST(TlsBuffers, TheInputOffersWhatRoomIsLeft)
{
    auto buffers = received(std::string(1000, 'r'));
    std::size_t room = 0;
    EXPECT_EQ(input_room(*buffers, room), buffers->input + 1000);
    EXPECT_EQ(room, TLS_INPUT_CAPACITY - 1000);
}
