#include <gtest/gtest.h>

#include <cstdint>

#include <string>

#include "settings/value_rules.h"

TEST(ValueRules, FlagIsSetOnlyByYesInThatCase)
{
    EXPECT_TRUE(flag_from_text("Yes"));
    for (const char* text : {"yes", "YES", "No", "", "Yes ", " Yes", "1", "true", "Yess"})
        EXPECT_FALSE(flag_from_text(text)) << '"' << text << '"';
    EXPECT_STREQ(flag_text(true), "Yes");
    EXPECT_STREQ(flag_text(false), "No");
}

TEST(ValueRules, StoredBase64DecodesUpToFirstZeroByte)
{
    struct Case {
        const char* stored;
        std::string text;
    };
    const Case cases[] = {
        {"YWJj", "abc"},     {"", ""},    {"AAAA", ""}, // three zero bytes
        {"QUJDAERF", "ABC"},                            // "ABC\0DE"
        {"not base64", ""},  {"YWJ", ""}, {"YWJjZA", ""}, {"YW Jj", ""}, {"====", ""}, {"8PH/", "\xF0\xF1\xFF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text_of_base64(c.stored, std::string(c.stored).size()), c.text) << '"' << c.stored << '"';
}

TEST(ValueRules, TextsRoundTripThroughBase64)
{
    const std::string body = std::string("\xCF\xF0\xE8\xE2\xE5\xF2\r\nline two\r\n") + std::string(80, 'x');
    for (const std::string& text :
         {std::string(), std::string("a"), std::string("ab"), std::string(99, '\xFF'), body}) {
        const std::string stored = base64_of_text(text);
        EXPECT_EQ(stored.size(), base64_length_for(text.size()));
        EXPECT_EQ(text_of_base64(stored.data(), stored.size()), text);
    }
    EXPECT_EQ(base64_of_text("abc"), "YWJj");
    EXPECT_EQ(base64_of_text("\xFF"), "/w==");
}

TEST(ValueRules, ProfileValueQuotesOnlyWhatTheReaderWouldStrip)
{
    struct Case {
        std::string text;
        std::string written;
    };
    const Case cases[] = {
        {"", ""},
        {"smtp.example.com", "smtp.example.com"},
        {"a b", "a b"},
        {"a\"b", "a\"b"},
        {" lead", "\" lead\""},
        {"trail ", "\"trail \""},
        {"\ttab", "\"\ttab\""},
        {"\"quoted\"", "\"\"quoted\"\""},
        {"'single'", "\"'single'\""},
        {"\"half", "\"\"half\""},
        {" ", "\" \""},
    };
    for (const Case& c : cases) EXPECT_EQ(profile_value(c.text), c.written) << '"' << c.text << '"';
}
