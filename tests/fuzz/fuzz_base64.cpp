// libFuzzer target: the strict decoder never writes past 3 * (length / 4) bytes,
// accepts exactly what re-encodes to itself when unpadded, and encode/decode round-trips.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "settings/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    std::vector<unsigned char> decoded(3 * (size / 4));
    const std::size_t produced = base64_decode(text, size, decoded.data());
    if (produced > decoded.size()) std::abort();

    std::vector<char> encoded(4 * ((size + 2) / 3));
    const std::size_t written = base64_encode(data, size, encoded.data());
    if (written != encoded.size()) std::abort();
    std::vector<unsigned char> back(3 * (written / 4));
    const std::size_t restored = base64_decode(encoded.data(), written, back.data());
    if (restored != size || (size > 0 && std::memcmp(back.data(), data, size) != 0)) std::abort();
    return 0;
}
