#include "mail/smtp/ansi_charset.h"

namespace {

struct NamedPage {
    unsigned code_page;
    const char* name;
};

// Every ANSI code page Windows uses; the single-byte windows-125x pages are named
// by the fallback.
const NamedPage named_pages[] = {
    {874, "windows-874"}, {932, "Shift_JIS"}, {936, "GBK"}, {949, "EUC-KR"}, {950, "Big5"}, {65001, "utf-8"},
};

std::size_t utf8_length(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

} // namespace

std::string charset_name(unsigned code_page)
{
    for (const NamedPage& page : named_pages)
        if (page.code_page == code_page) return page.name;
    return "windows-" + std::to_string(code_page);
}

std::size_t character_length(const AnsiCharset& charset, const std::string& text, std::size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (charset.utf8)
        length = utf8_length(lead);
    else if (charset.lead_byte[lead])
        length = 2;
    const std::size_t left = text.size() - at;
    return length < left ? length : left;
}
