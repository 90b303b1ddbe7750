// libFuzzer target: decoding stored settings values never crashes or overruns,
// a decoded text never holds a zero byte, Base64 values round-trip up to the first
// zero byte, and the port rule agrees with a plain reference reading.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/value_rules.h"

namespace {

std::int32_t reference_integer(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10u + std::uint32_t(text[i++] - '0');
    return std::int32_t(negative ? 0u - value : value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = bytes.substr(0, bytes.find('\0'));

    const std::string decoded = text_of_base64(bytes.data(), bytes.size());
    if (decoded.find('\0') != std::string::npos) std::abort();
    if (text_of_base64(base64_of_text(text).c_str(), base64_of_text(text).size()) != text) std::abort();

    if (integer_from_text(text.c_str()) != reference_integer(text)) std::abort();
    (void)flag_from_text(text.c_str());
    (void)profile_value(text);
    return 0;
}
