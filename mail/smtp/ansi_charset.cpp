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

} // namespace

std::string charset_name(unsigned code_page)
{
    for (const NamedPage& page : named_pages)
        if (page.code_page == code_page) return page.name;
    return "windows-" + std::to_string(code_page);
}
