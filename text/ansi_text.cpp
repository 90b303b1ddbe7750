#include "text/ansi_text.h"

namespace {

bool utf8_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

std::size_t character_length(const std::string& text, std::size_t at, const AnsiCodePage& page)
{
    const unsigned char first = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (page.utf8) {
        if (first >= 0xF8)
            length = 1;
        else if (first >= 0xF0)
            length = 4;
        else if (first >= 0xE0)
            length = 3;
        else if (first >= 0xC0)
            length = 2;
        for (std::size_t n = 1; n < length; ++n)
            if (at + n >= text.size() || !utf8_continuation(static_cast<unsigned char>(text[at + n]))) return 1;
        return length;
    }
    return page.lead_byte[first] && at + 1 < text.size() ? 2 : 1;
}

std::string cut_at_character(const std::string& text, std::size_t max_bytes, const AnsiCodePage& page)
{
    if (text.size() <= max_bytes) return text;
    std::size_t end = 0;
    for (;;) {
        const std::size_t next = end + character_length(text, end, page);
        if (next > max_bytes) break;
        end = next;
    }
    return text.substr(0, end);
}
