#include "settings/value_rules.h"

#include <cstring>

#include "settings/base64.h"
#include "text/decimal_text.h"

namespace {

bool is_quote(char c) { return c == '"' || c == '\''; }

} // namespace

bool flag_from_text(const char* text) { return std::strcmp(text, "Yes") == 0; }

const char* flag_text(bool flag) { return flag ? "Yes" : "No"; }

std::string text_of_base64(const char* stored, std::size_t length)
{
    std::string decoded(length / 4 * 3, '\0');
    decoded.resize(base64_decode(stored, length, reinterpret_cast<unsigned char*>(&decoded[0])));
    return decoded.substr(0, decoded.find('\0'));
}

std::string profile_value(const std::string& text)
{
    if (text.empty()) return text;
    const char first = text.front();
    const char last = text.back();
    if (is_blank(first) || is_blank(last) || is_quote(first) || is_quote(last)) return '"' + text + '"';
    return text;
}
