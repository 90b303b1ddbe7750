// Numbers as text and back, for the settings file, the dialog fields, the countdown
// and the wire: the program prints no number any other way. Pure.
#ifndef TULVO_DECIMAL_TEXT_H
#define TULVO_DECIMAL_TEXT_H

#include <cstdint>
#include <string>

// White space as the C library, StrToInt and the profile reader skip it.
bool is_blank(char c);

// Integer of a text as the Windows StrToInt reads it: optional leading white space and
// sign, then decimal digits up to the first other character; no digits give 0. Values
// beyond 32 bits wrap.
std::int32_t integer_from_text(const char* text);

// A signed decimal number as "%d" writes it ("-12", "0").
std::string decimal_text(std::int64_t value);

#endif
