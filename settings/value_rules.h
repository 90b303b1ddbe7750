// How the settings' values are turned into text and back, both in the settings file
// and in the dialog fields. Pure: plain values in and out.
#ifndef TULVO_VALUE_RULES_H
#define TULVO_VALUE_RULES_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/base64.h"

// The stored flag is set exactly by "Yes" (case-sensitive); "yes" or "YES" clear it.
bool flag_from_text(const char* text);
const char* flag_text(bool flag);

// Integer of a text as the Windows StrToInt reads it: optional leading white space and
// sign, then decimal digits up to the first other character; no digits give 0. Values
// beyond 32 bits wrap.
std::int32_t integer_from_text(const char* text);

// A signed decimal number as "%d" writes it ("-12", "0").
std::string decimal_text(std::int64_t value);

// The longest Base64 text that decodes to at most max_bytes bytes.
constexpr std::size_t base64_length_for(std::size_t max_bytes) { return (max_bytes + 2) / 3 * 4; }

// A stored Base64 value back as text: a rejected value gives empty text, and a decoded
// zero byte ends the text.
std::string text_of_base64(const char* stored, std::size_t length);

// The value to hand the profile writer so that reading gives text back unchanged: the
// reader strips surrounding blanks and one pair of surrounding quotes, so such a text is
// written inside double quotes.
std::string profile_value(const std::string& text);

#endif
