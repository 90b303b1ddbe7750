#include <gtest/gtest.h>

#include "text/ansi_text.h"

namespace {

AnsiCodePage utf8()
{
    AnsiCodePage page;
    page.utf8 = true;
    return page;
}

// Shift-JIS: lead bytes 0x81-0x9F and 0xE0-0xFC.
AnsiCodePage shift_jis()
{
    AnsiCodePage page;
    for (int b = 0x81; b <= 0x9F; ++b) page.lead_byte[b] = true;
    for (int b = 0xE0; b <= 0xFC; ++b) page.lead_byte[b] = true;
    return page;
}

} // namespace

TEST(AnsiTextCutAtCharacter, NeverSplitsAMultiByteCharacter)
{
    const std::string cyrillic_utf8 = "\xD0\x96";      // Ж
    const std::string euro_utf8 = "\xE2\x82\xAC";      // €
    const std::string emoji_utf8 = "\xF0\x9F\x98\x80"; // U+1F600
    const std::string kanji_sjis = "\x93\xFA";         // 日
    struct Case {
        AnsiCodePage page;
        std::string text;
        std::string expected;
    } cases[] = {
        {AnsiCodePage(), std::string(98, 'a') + "\xC6\xC7", std::string(98, 'a') + "\xC6"}, // single-byte: 99 bytes
        {utf8(), std::string(98, 'a') + cyrillic_utf8, std::string(98, 'a')},
        {utf8(), std::string(97, 'a') + cyrillic_utf8 + "b", std::string(97, 'a') + cyrillic_utf8},
        {utf8(), std::string(97, 'a') + euro_utf8, std::string(97, 'a')},
        {utf8(), std::string(96, 'a') + euro_utf8 + "b", std::string(96, 'a') + euro_utf8},
        {utf8(), std::string(96, 'a') + emoji_utf8, std::string(96, 'a')},
        {shift_jis(), std::string(98, 'a') + kanji_sjis, std::string(98, 'a')},
        {shift_jis(), std::string(97, 'a') + kanji_sjis + "b", std::string(97, 'a') + kanji_sjis},
        // Half-width katakana (0xA1-0xDF) are single bytes in Shift-JIS.
        {shift_jis(), std::string(98, 'a') + "\xB1\xB2", std::string(98, 'a') + "\xB1"},
        // A broken sequence is cut like single bytes.
        {utf8(), std::string(98, 'a') + "\xD0" + "b", std::string(98, 'a') + "\xD0"},
        {utf8(), "short", "short"},
    };
    for (const Case& c : cases) EXPECT_EQ(cut_at_character(c.text, 99, c.page), c.expected) << c.text.size();
}

TEST(AnsiTextCharacterLength, FollowsTheCodePagesRules)
{
    const std::string utf8_text = "\xd0\x96x\xe2\x82\xac\xf0\x9f\x98\x80";
    EXPECT_EQ(character_length(utf8_text, 0, utf8()), 2u);
    EXPECT_EQ(character_length(utf8_text, 2, utf8()), 1u);
    EXPECT_EQ(character_length(utf8_text, 3, utf8()), 3u);
    EXPECT_EQ(character_length(utf8_text, 6, utf8()), 4u);
    EXPECT_EQ(character_length("\xe2\x82", 0, utf8()), 1u) << "a sequence cut short counts byte by byte";
    EXPECT_EQ(character_length("\xc6\xc6", 0, AnsiCodePage()), 1u);
    EXPECT_EQ(character_length("\x82\xa0"
                               "a",
                               0, shift_jis()),
              2u);
    EXPECT_EQ(character_length("\x82\xa0"
                               "a",
                               2, shift_jis()),
              1u);
    EXPECT_EQ(character_length("\x82", 0, shift_jis()), 1u) << "a lead byte at the end";
}
