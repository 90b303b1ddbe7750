// The system's ANSI code page as a mail charset: its name for the Content-Type and
// encoded words, and its characters' bytes. Plain values in and out.
#ifndef TULVO_SMTP_ANSI_CHARSET_H
#define TULVO_SMTP_ANSI_CHARSET_H

#include <string>

#include "settings/ansi_text.h"

struct AnsiCharset {
    std::string name; // e.g. "windows-1251"
    AnsiCodePage page;
};

// The MIME name of an ANSI code page; "windows-" and the number for one it does not know.
std::string charset_name(unsigned code_page);

#endif
