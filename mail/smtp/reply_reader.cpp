#include "mail/smtp/reply_reader.h"

namespace {

const unsigned char line_feed = 0x0A;
const unsigned char continuation_mark = '-';
// The byte that tells a continuation line from a final one: the one after the code.
const int mark_offset = 3;
const char starttls_keyword[] = "STARTTLS";
const std::uint8_t keyword_length = sizeof starttls_keyword - 1;
const std::uint8_t keyword_mismatch = 0xFF;

std::uint8_t next(std::uint8_t index) { return static_cast<std::uint8_t>(index + 1); }

int pending(const ReplyReader& reader) { return static_cast<std::uint8_t>(reader.write_index - reader.read_index); }

unsigned char peek(const ReplyReader& reader, int offset)
{
    return reader.ring[static_cast<std::uint8_t>(reader.read_index + offset)];
}

enum class LineKind { Final, Continuation, Unknown };

// The kind of the line whose first significant byte is the oldest pending one.
// A line that ends before its fourth byte is final.
LineKind line_kind(const ReplyReader& reader)
{
    for (int offset = 1; offset <= mark_offset; ++offset) {
        if (offset >= pending(reader)) return LineKind::Unknown;
        const unsigned char byte = peek(reader, offset);
        if (byte == line_feed) return LineKind::Final;
        if (offset == mark_offset && byte == continuation_mark) return LineKind::Continuation;
    }
    return LineKind::Final;
}

unsigned char upper(unsigned char byte) { return byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte; }

bool ends_keyword(unsigned char byte) { return byte == '\r' || byte == line_feed || byte == ' '; }

// One byte of a line after its first; the text starts after the code and its mark.
void take_line_byte(ReplyReader& reader, unsigned char byte)
{
    const int text_at = reader.line_column - (mark_offset + 1);
    if (reader.line_column < 0xFF) ++reader.line_column;
    if (text_at < 0 || reader.keyword_matched != text_at) return;
    if (text_at < keyword_length && upper(byte) == static_cast<unsigned char>(starttls_keyword[text_at])) {
        ++reader.keyword_matched;
        return;
    }
    if (text_at == keyword_length && ends_keyword(byte)) reader.offers_starttls = true;
    reader.keyword_matched = keyword_mismatch;
}

// The first byte of a line has been taken.
void start_line(ReplyReader& reader, LineKind kind)
{
    if (!reader.inside_reply) reader.offers_starttls = false;
    reader.inside_reply = kind == LineKind::Continuation;
    reader.inside_line = true;
    reader.line_column = 1;
    reader.keyword_matched = 0;
}

// Takes bytes of the current line up to its line feed; true when it came.
bool skip_line_rest(ReplyReader& reader)
{
    while (reader.inside_line && !ring_is_empty(reader)) {
        const unsigned char byte = ring_get(reader);
        take_line_byte(reader, byte);
        if (byte == line_feed) reader.inside_line = false;
    }
    return !reader.inside_line;
}

ReplyClass judge(unsigned char first, bool strict)
{
    if (first == '2' || (first == '3' && !strict)) return ReplyClass::Accepted;
    return ReplyClass::Rejected;
}

} // namespace

void ring_put(ReplyReader& reader, unsigned char byte)
{
    if (next(reader.write_index) == reader.read_index) return;
    reader.ring[reader.write_index] = byte;
    reader.write_index = next(reader.write_index);
}

unsigned char ring_get(ReplyReader& reader)
{
    if (ring_is_empty(reader)) return 0;
    const unsigned char byte = reader.ring[reader.read_index];
    reader.read_index = next(reader.read_index);
    return byte;
}

bool ring_is_empty(const ReplyReader& reader) { return reader.read_index == reader.write_index; }

void ring_discard(ReplyReader& reader) { reader.read_index = reader.write_index; }

void reply_reset(ReplyReader& reader)
{
    reader.inside_line = false;
    reader.inside_reply = false;
    reader.offers_starttls = false;
    ring_discard(reader);
}

ReplyClass classify_reply(ReplyReader& reader, const char* chunk, std::int32_t length, bool strict)
{
    for (std::int32_t i = 0; i < length; ++i) ring_put(reader, static_cast<unsigned char>(chunk[i]));

    while (!ring_is_empty(reader)) {
        if (reader.inside_line) {
            skip_line_rest(reader);
            continue;
        }
        const unsigned char first = peek(reader, 0);
        // Below 0x20 as a signed byte: controls, line ends and 0x80-0xFF alike.
        if (first < 0x20 || first >= 0x80) {
            ring_get(reader);
            continue;
        }
        const LineKind kind = line_kind(reader);
        if (kind == LineKind::Unknown) return ReplyClass::Undecided;
        ring_get(reader);
        start_line(reader, kind);
        if (kind == LineKind::Final) return judge(first, strict);
    }
    return ReplyClass::Undecided;
}

bool line_finished(ReplyReader& reader, const char* chunk, std::int32_t length)
{
    for (std::int32_t i = 0; i < length; ++i) ring_put(reader, static_cast<unsigned char>(chunk[i]));
    return skip_line_rest(reader);
}
