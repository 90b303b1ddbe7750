#include "settings/base64.h"

namespace {

const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of c, 0 for the padding character, -1 outside the alphabet.
int sextet(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    if (c == '=') return 0;
    return -1;
}

} // namespace

std::size_t base64_encode(const unsigned char* input, std::size_t length, char* output)
{
    std::size_t written = 0;
    for (std::size_t i = 0; i < length; i += 3) {
        const std::size_t left = length - i;
        unsigned long group = static_cast<unsigned long>(input[i]) << 16;
        if (left > 1) group |= static_cast<unsigned long>(input[i + 1]) << 8;
        if (left > 2) group |= input[i + 2];
        output[written++] = alphabet[(group >> 18) & 63];
        output[written++] = alphabet[(group >> 12) & 63];
        output[written++] = left > 1 ? alphabet[(group >> 6) & 63] : '=';
        output[written++] = left > 2 ? alphabet[group & 63] : '=';
    }
    return written;
}

std::size_t base64_decode(const char* input, std::size_t length, unsigned char* output)
{
    if (length < 4 || length % 4 != 0) return 0;
    std::size_t produced = 0;
    std::size_t padding = 0;
    for (std::size_t i = 0; i < length; i += 4) {
        unsigned long group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int value = sextet(input[i + k]);
            if (value < 0) return 0;
            if (input[i + k] == '=') ++padding;
            group = (group << 6) | static_cast<unsigned long>(value);
        }
        output[produced++] = static_cast<unsigned char>(group >> 16);
        output[produced++] = static_cast<unsigned char>(group >> 8);
        output[produced++] = static_cast<unsigned char>(group);
    }
    if (padding > produced) return 0;
    return produced - padding;
}

std::string base64_of_text(const std::string& text)
{
    std::string encoded((text.size() + 2) / 3 * 4, '\0');
    base64_encode(reinterpret_cast<const unsigned char*>(text.data()), text.size(), &encoded[0]);
    return encoded;
}
