// The system's ANSI code page as a mail charset: its name for the Content-Type and
// encoded words, and how it cuts text into characters. Plain values in and out.
#ifndef TULVO_SMTP_ANSI_CHARSET_H
#define TULVO_SMTP_ANSI_CHARSET_H

#include <array>
#include <cstddef>
#include <string>

struct AnsiCharset {
    std::string name;                 // e.g. "windows-1251"
    bool utf8;                        // characters by UTF-8 byte patterns
    std::array<bool, 256> lead_byte;  // DBCS pages: bytes that begin a two-byte character
};

// The MIME name of an ANSI code page; "windows-" and the number for one it does not know.
std::string charset_name(unsigned code_page);

// How many bytes the character that begins at text[at] takes, never past the text's end.
std::size_t character_length(const AnsiCharset& charset, const std::string& text, std::size_t at);

#endif
