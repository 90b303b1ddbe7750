#include <gtest/gtest.h>

#include <string>

#include "settings/base64.h"

namespace {

std::string encode(const std::string& bytes)
{
    char out[512];
    const std::size_t n = base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out);
    return std::string(out, n);
}

std::string decode(const std::string& text)
{
    unsigned char out[512];
    const std::size_t n = base64_decode(text.data(), text.size(), out);
    return std::string(reinterpret_cast<char*>(out), n);
}

struct Vector {
    const char* plain;
    const char* encoded;
};

// RFC 4648, section 10.
const Vector rfc_vectors[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
};

} // namespace

TEST(Base64, EncodesRfc4648Vectors)
{
    for (const Vector& v : rfc_vectors) EXPECT_EQ(encode(v.plain), v.encoded) << v.plain;
}

TEST(Base64, DecodesRfc4648Vectors)
{
    for (const Vector& v : rfc_vectors) EXPECT_EQ(decode(v.encoded), v.plain) << v.encoded;
}

TEST(Base64, HighBytesEncodeAsUnsigned)
{
    EXPECT_EQ(encode("\xFF"), "/w==");
    EXPECT_EQ(encode("abc"), "YWJj");
    // "Привет" in code page 1251.
    const std::string cyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2";
    EXPECT_EQ(decode(encode(cyrillic)), cyrillic);
}

TEST(Base64, EveryByteValueRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    for (std::size_t start = 0; start < 3; ++start) {
        const std::string slice = all.substr(start);
        EXPECT_EQ(decode(encode(slice)), slice) << "from " << start;
    }
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(decode(encode(one)), one) << b;
    }
}

TEST(Base64, DecodedLengthFollowsPadding)
{
    EXPECT_EQ(decode("YWJj").size(), 3u);
    EXPECT_EQ(decode("YQ==").size(), 1u);
    EXPECT_EQ(decode("YWI=").size(), 2u);
    EXPECT_EQ(decode("AAAA"), std::string(3, '\0'));
}

TEST(Base64, RejectsMalformedInputWhole)
{
    const char* rejected[] = {
        "",             // empty
        "YWJ",          // shorter than one group
        "YWJjZA",       // not a multiple of four, even with a good first group
        "YW Jj",        // space
        "YWJj\r\nYWJj", // line break
        "YWJ-",         // outside the alphabet
        "YWJjYW_j",     // bad character in a later group
        "====",         // more padding than the group carries
    };
    for (const char* text : rejected) {
        unsigned char out[64];
        out[0] = 0x5A;
        EXPECT_EQ(base64_decode(text, std::string(text).size(), out), 0u) << text;
    }
}

TEST(Base64, PaddingIsCountedWhereverItStands)
{
    // The position of "=" is not checked; only the count shortens the result.
    EXPECT_EQ(decode("Y=Jj").size(), 2u);
    EXPECT_EQ(decode("A===").size(), 0u);
    EXPECT_EQ(decode("YWJj========").size(), 1u);
}
