// Text of the ANSI code page, or UTF-8, as UTF-16 and back, through Windows. Paths
// are held as UTF-8, so that a folder named outside the code page keeps its name.
#ifndef TULVO_WIDE_TEXT_H
#define TULVO_WIDE_TEXT_H

#include <string>

std::wstring wide_of_ansi(const std::string& text);
std::string ansi_of_wide(const std::wstring& text);
std::wstring wide_of_utf8(const std::string& text);
std::string utf8_of_wide(const std::wstring& text);

#endif
