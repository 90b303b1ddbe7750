#include <windows.h>

#include "text/ansi_text.h"

namespace {

AnsiCodePage read_system_code_page()
{
    AnsiCodePage page;
    const UINT code_page = GetACP();
    page.utf8 = code_page == CP_UTF8;
    CPINFO info{};
    if (page.utf8 || !GetCPInfo(code_page, &info)) return page;
    for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2)
        for (int byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte) page.lead_byte[byte] = true;
    return page;
}

} // namespace

const AnsiCodePage& system_code_page()
{
    static const AnsiCodePage page = read_system_code_page();
    return page;
}
