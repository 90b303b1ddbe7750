#include <gtest/gtest.h>

#include <string>

#include "mail/smtp/wire_lines.h"

TEST(WireLines, CommandLinesCarryTheTextsAsStored)
{
    EXPECT_EQ(helo_line("build-pc"), "HELO build-pc\r\n");
    EXPECT_EQ(mail_from_line("me@example.org"), "MAIL FROM:me@example.org\r\n");
    EXPECT_EQ(mail_from_line("<me@example.org>"), "MAIL FROM:<me@example.org>\r\n");
    EXPECT_EQ(rcpt_to_line("boss@example.org"), "RCPT TO:boss@example.org\r\n");
    EXPECT_EQ(subject_line("\xcf\xf0\xe8\xe2\xe5\xf2"), "Subject:\xcf\xf0\xe8\xe2\xe5\xf2\r\n");
    EXPECT_EQ(subject_line(""), "Subject:\r\n");
}

// Exim, sendmail and Postfix's reject_invalid_helo_hostname refuse what is not a host
// name; the address literal of the own end is taken by all (RFC 5321 4.1.3).
TEST(WireLines, GreetingNameIsTheHostNameOnlyWhenServersTakeIt)
{
    const std::uint32_t own = 0xC0A80114; // 192.168.1.20
    const std::string label(63, 'a');
    const std::string longest = label + "." + label + "." + label + "." + label; // 255 characters
    const struct {
        std::string host;
        const char* name;
    } rows[] = {
        {"build-pc", "build-pc"},
        {"PC1.office.example.org", "PC1.office.example.org"},
        {longest, nullptr},
        {"USER-\xcf\xca", "[192.168.1.20]"}, // USER-ПК in code page 1251
        {"", "[192.168.1.20]"},
        {"MY_PC", "[192.168.1.20]"},
        {"-pc", "[192.168.1.20]"},
        {"pc-", "[192.168.1.20]"},
        {"a..b", "[192.168.1.20]"},
        {"pc.", "[192.168.1.20]"},
        {"my pc", "[192.168.1.20]"},
        {std::string(64, 'a'), "[192.168.1.20]"},
        {longest + ".b", "[192.168.1.20]"},
    };
    for (const auto& row : rows) EXPECT_EQ(greeting_name(row.host, own), row.name ? row.name : row.host) << row.host;
    EXPECT_EQ(greeting_name("", 0x7F000001), "[127.0.0.1]");
}

TEST(WireLines, AuthLinesEncodeTheWholeValue)
{
    EXPECT_EQ(auth_line("user"), "dXNlcg==\r\n");
    EXPECT_EQ(auth_line("abc"), "YWJj\r\n");
    EXPECT_EQ(auth_line("\xff"), "/w==\r\n");
    EXPECT_EQ(auth_line(""), "\r\n");
}

TEST(WireLines, PortSettingCountsWithItsLow16Bits)
{
    EXPECT_EQ(smtp_port_number(25), 25);
    EXPECT_EQ(smtp_port_number(65535), 65535);
    EXPECT_EQ(smtp_port_number(65536 + 25), 25);
    EXPECT_EQ(smtp_port_number(65536), 0);
    EXPECT_EQ(smtp_port_number(-1), 65535);
}

struct StuffingCase {
    std::string body;
    std::string wire;
};

TEST(WireLines, BodyIsDotStuffedAndOtherwiseUnchanged)
{
    const StuffingCase cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {".", ".."},
        {".hidden\r\nline", "..hidden\r\nline"},
        {"a\r\n.\r\nb", "a\r\n..\r\nb"},
        {"a\r\n..\r\n", "a\r\n...\r\n"},
        {"end\r\n", "end\r\n"},
        {"end\r\n.", "end\r\n.."},
        {"bare\n.dot", "bare\n.dot"},
        {"cr\r.dot", "cr\r.dot"},
        {"mid.dot\r\nx.y", "mid.dot\r\nx.y"},
        {" .space", " .space"},
        {std::string("nul\0\r\n.z", 8), std::string("nul\0\r\n..z", 9)},
    };
    for (const StuffingCase& c : cases) EXPECT_EQ(stuffed_body(c.body), c.wire) << c.body;
}

TEST(WireLines, ControlBytesInAnAddressAreFound)
{
    const struct {
        std::string text;
        bool control;
    } cases[] = {
        {"boss@example.org", false},
        {"Ivan <ivan@example.org>", false},
        {"\xC8\xE2\xE0\xED@example.org", false},
        {"", false},
        {"boss@example.org\r\nRCPT TO:<other@example.org>", true},
        {"boss@example.org\n", true},
        {std::string("boss\0@example.org", 17), true},
        {"boss\t@example.org", true},
        {"boss\x7F@example.org", true},
        {"\x1F", true},
    };
    for (const auto& c : cases) EXPECT_EQ(holds_control_byte(c.text), c.control) << c.text;
}
