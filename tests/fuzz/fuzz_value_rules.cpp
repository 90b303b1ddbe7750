// libFuzzer target: decoding stored settings values never crashes or overruns,
// a decoded text never holds a zero byte, Base64 values round-trip up to the first
// zero byte, and the port rule agrees with the C library's reading of a number
// that fits 32 bits, and such a number written as text reads back.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/value_rules.h"
#include "text/decimal_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = bytes.substr(0, bytes.find('\0'));

    const std::string decoded = text_of_base64(bytes.data(), bytes.size());
    if (decoded.find('\0') != std::string::npos) std::abort();
    if (text_of_base64(base64_of_text(text).c_str(), base64_of_text(text).size()) != text) std::abort();

    errno = 0;
    const long long number = std::strtoll(text.c_str(), nullptr, 10);
    const bool fits = errno == 0 && number >= INT32_MIN && number <= INT32_MAX;
    if (fits && integer_from_text(text.c_str()) != number) std::abort();
    if (fits && integer_from_text(decimal_text(number).c_str()) != number) std::abort();
    (void)flag_from_text(text.c_str());
    (void)profile_value(text);
    return 0;
}
