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
