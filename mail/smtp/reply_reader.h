// Judges SMTP replies from the bytes a server sends, one reply per command,
// keeping unconsumed bytes in a 256-byte ring between calls. A reply is judged
// by the first significant byte of its last line: continuation lines (a code
// followed by "-") are skipped whole. Plain data in, plain results out; the
// process-wide reader lives with the receive loop.
#ifndef TULVO_SMTP_REPLY_READER_H
#define TULVO_SMTP_REPLY_READER_H

#include <cstdint>

constexpr int REPLY_RING_SIZE = 256;

struct ReplyReader {
    unsigned char ring[REPLY_RING_SIZE];
    std::uint8_t read_index;  // oldest unconsumed byte
    std::uint8_t write_index; // where the next received byte goes
    // The current line has been judged (or skipped as a continuation line); its
    // rest, up to the line feed, is still to be skipped.
    bool inside_line;
    // Looking for the service extension STARTTLS: bytes of the current line taken
    // so far, how many of the keyword its text has matched, whether the reply's
    // last line is still to come, and whether the reply has a line that offers it.
    std::uint8_t line_column = 0;
    std::uint8_t keyword_matched = 0;
    bool inside_reply = false;
    bool offers_starttls = false;
};

// Failed: nothing (more) came within the wait, or the server closed first.
// Undecided never leaves the reader: the bytes seen so far do not decide yet.
enum class ReplyClass : int { Failed = -2, Rejected = -1, Undecided = 0, Accepted = 1 };

// The ring holds at most 255 unconsumed bytes; a byte that finds it full is dropped.
void ring_put(ReplyReader& reader, unsigned char byte);
// 0 when the ring is empty.
unsigned char ring_get(ReplyReader& reader);
bool ring_is_empty(const ReplyReader& reader);
// Forgets every pending byte.
void ring_discard(ReplyReader& reader);

// Between lines, nothing pending, nothing offered; the start of every conversation.
void reply_reset(ReplyReader& reader);

// Appends length bytes of chunk (none when length <= 0) and judges the next
// reply: Accepted for a final line beginning with "2", or with "3" when not
// strict; Rejected for any other significant first byte; Undecided when the
// pending bytes do not decide yet. Bytes below 0x20 as signed values (controls,
// line ends, 0x80-0xFF) are skipped between lines. Bytes after the deciding
// byte stay pending for the next call.
ReplyClass classify_reply(ReplyReader& reader, const char* chunk, std::int32_t length, bool strict);

// Appends length bytes of chunk and takes the rest of the judged line, up to and
// including its line feed; true once the line has ended. Bytes after it stay
// pending. offers_starttls then tells whether the reply just read has a line
// "STARTTLS" (any case, parameters allowed after a space); a new reply clears it.
bool line_finished(ReplyReader& reader, const char* chunk, std::int32_t length);

#endif
