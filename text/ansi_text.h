// Text of the system's ANSI code page, cut to a number of bytes without splitting a
// character: a UTF-8 code page has characters of up to four bytes, an East Asian
// one lead bytes followed by a trail byte.
#ifndef TULVO_ANSI_TEXT_H
#define TULVO_ANSI_TEXT_H

#include <cstddef>
#include <string>

struct AnsiCodePage {
    bool utf8 = false;
    bool lead_byte[256] = {}; // the bytes that begin a two-byte character
};

// Bytes of the character that begins at text[at]: a broken sequence counts one byte
// per byte, and nothing reaches past the text's end.
std::size_t character_length(const std::string& text, std::size_t at, const AnsiCodePage& page);

// The longest start of text of at most max_bytes bytes that ends where a character
// ends.
std::string cut_at_character(const std::string& text, std::size_t max_bytes, const AnsiCodePage& page);

// The system's ANSI code page (read once; Windows only).
const AnsiCodePage& system_code_page();

#endif
