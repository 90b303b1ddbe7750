#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/smtp/submission_message.h"
#include "mail/smtp/wire_lines.h"
#include "settings/base64.h"

namespace {

AnsiCharset single_byte(const char* name) { return AnsiCharset{name, AnsiCodePage()}; }

const AnsiCharset cp1251 = single_byte("windows-1251");
const AnsiCharset utf8 = [] {
    AnsiCharset charset{"utf-8", AnsiCodePage()};
    charset.page.utf8 = true;
    return charset;
}();

// Shift_JIS: lead bytes 0x81-0x9F and 0xE0-0xFC.
AnsiCharset shift_jis()
{
    AnsiCharset charset{"Shift_JIS", AnsiCodePage()};
    for (int b = 0x81; b <= 0xFC; ++b) charset.page.lead_byte[b] = b <= 0x9F || b >= 0xE0;
    return charset;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The bytes each encoded word of a Subject header carries, in order.
std::vector<std::string> word_payloads(const std::string& header, const std::string& charset_name)
{
    std::vector<std::string> payloads;
    const std::string open = "=?" + charset_name + "?B?";
    for (std::size_t at = header.find(open); at != std::string::npos; at = header.find(open, at)) {
        at += open.size();
        const std::size_t end = header.find("?=", at);
        std::string bytes(end - at, '\0');
        bytes.resize(base64_decode(header.data() + at, end - at, reinterpret_cast<unsigned char*>(&bytes[0])));
        payloads.push_back(bytes);
    }
    return payloads;
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string whole;
    for (const std::string& part : parts) whole += part;
    return whole;
}

} // namespace

TEST(SubmissionMessageCharset, AnsiCodePagesHaveTheirMimeNames)
{
    EXPECT_EQ(charset_name(1251), "windows-1251");
    EXPECT_EQ(charset_name(1252), "windows-1252");
    EXPECT_EQ(charset_name(65001), "utf-8");
    EXPECT_EQ(charset_name(932), "Shift_JIS");
    EXPECT_EQ(charset_name(936), "GBK");
    EXPECT_EQ(charset_name(949), "EUC-KR");
    EXPECT_EQ(charset_name(950), "Big5");
    EXPECT_EQ(charset_name(874), "windows-874");
}

TEST(SubmissionMessageSubject, PrintableAsciiGoesAsTypedAndAnythingElseEncoded)
{
    EXPECT_EQ(subject_header("Power off", cp1251), "Subject: Power off\r\n");
    EXPECT_EQ(subject_header("", cp1251), "Subject:\r\n");
    // "Выключение" in code page 1251.
    const std::string russian = "\xc2\xfb\xea\xeb\xfe\xf7\xe5\xed\xe8\xe5";
    EXPECT_EQ(subject_header(russian, cp1251), "Subject: =?windows-1251?B?wvvq6/735e3o5Q==?=\r\n");
    for (const std::string unsafe : {"a=?b", "line\r\nBcc: x", "tab\there"}) {
        const std::string header = subject_header(unsafe, cp1251);
        EXPECT_EQ(joined(word_payloads(header, "windows-1251")), unsafe) << header;
    }
}

TEST(SubmissionMessageSubject, LongSubjectsFoldIntoShortLinesWithoutSplittingACharacter)
{
    struct Case {
        AnsiCharset charset;
        std::string character;
    };
    const Case cases[] = {{cp1251, "\xc6"}, {utf8, "\xd0\x96"}, {utf8, "\xe2\x82\xac"}, {shift_jis(), "\x82\xa0"}};
    for (const Case& c : cases) {
        std::string subject = "x";
        while (subject.size() < 99) subject += c.character;
        const std::string header = subject_header(subject, c.charset);
        const std::vector<std::string> lines = lines_of(header);
        EXPECT_GT(lines.size(), 1u) << c.charset.name;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), 76u) << lines[i];
            if (i > 0) {
                EXPECT_EQ(lines[i][0], ' ') << "a folded line goes on with white space";
            }
        }
        const std::vector<std::string> payloads = word_payloads(header, c.charset.name);
        EXPECT_EQ(joined(payloads), subject);
        for (std::size_t i = 0; i < payloads.size(); ++i) {
            const std::string& word = payloads[i];
            const std::size_t tail = i == 0 ? 1 : 0; // the first word begins with the "x"
            EXPECT_EQ((word.size() - tail) % c.character.size(), 0u) << c.charset.name << " word " << i;
        }
    }
}

TEST(SubmissionMessageDate, LocalTimeWithItsOffsetFromUtc)
{
    EXPECT_EQ(mail_date({2024, 3, 5, 2, 14, 7, 9, 180}), "Tue, 05 Mar 2024 14:07:09 +0300");
    EXPECT_EQ(mail_date({2023, 12, 31, 0, 23, 59, 59, -300}), "Sun, 31 Dec 2023 23:59:59 -0500");
    EXPECT_EQ(mail_date({2025, 1, 1, 3, 0, 0, 0, 0}), "Wed, 01 Jan 2025 00:00:00 +0000");
    EXPECT_EQ(mail_date({2025, 7, 4, 5, 8, 30, 0, 345}), "Fri, 04 Jul 2025 08:30:00 +0545");
    EXPECT_EQ(mail_date({2025, 7, 4, 5, 8, 30, 0, -210}), "Fri, 04 Jul 2025 08:30:00 -0330");
}

TEST(SubmissionMessageAddresses, BracketsAreAddedUnlessTheTextHasThem)
{
    EXPECT_EQ(angle_address("me@example.org"), "<me@example.org>");
    EXPECT_EQ(angle_address("<me@example.org>"), "<me@example.org>");
    EXPECT_EQ(angle_address("Ivan <ivan@example.org>"), "<ivan@example.org>");
    EXPECT_EQ(angle_address(""), "<>");
    EXPECT_EQ(submission_mail_from_line("me@example.org"), "MAIL FROM:<me@example.org>\r\n");
    EXPECT_EQ(submission_rcpt_to_line("<boss@example.org>"), "RCPT TO:<boss@example.org>\r\n");
    EXPECT_EQ(ehlo_line("build-pc"), "EHLO build-pc\r\n");
    EXPECT_EQ(port_security(465), PortSecurity::ImplicitTls);
    EXPECT_EQ(port_security(65536 + 465), PortSecurity::ImplicitTls);
    EXPECT_EQ(port_security(25), PortSecurity::Plain);
    EXPECT_EQ(port_security(587), PortSecurity::StartTls);
}

TEST(SubmissionMessageId, UniquePartAtTheMailboxDomain)
{
    EXPECT_EQ(message_id(0x1d9a, 0xff, 7, "me@example.org"), "<1d9a.ff.7@example.org>");
    EXPECT_EQ(message_id(1, 2, 3, "Ivan <ivan@mail.example.org>"), "<1.2.3@mail.example.org>");
    EXPECT_EQ(message_id(1, 2, 3, "nobody"), "<1.2.3@localhost>");
    EXPECT_NE(message_id(1, 2, 3, "a@b"), message_id(1, 2, 4, "a@b"));
}

TEST(SubmissionMessage, HeadersThenTheBodyInBase64Lines)
{
    const std::string mailbox = "pc@example.org";
    const std::string recipient = "<boss@example.org>";
    const std::string subject = "Shutdown";
    const std::string body = std::string(57, 'a') + ".b";
    const MailDate date{2024, 3, 5, 2, 14, 7, 9, 180};
    const std::string id = "<1.2.3@example.org>";
    const std::string text = submission_message({mailbox, recipient, subject, body, date, id, cp1251});
    std::string expected_body(76, '\0');
    base64_encode(reinterpret_cast<const unsigned char*>(body.data()), 57, &expected_body[0]);
    EXPECT_EQ(text, "From: <pc@example.org>\r\n"
                    "To: <boss@example.org>\r\n"
                    "Subject: Shutdown\r\n"
                    "Date: Tue, 05 Mar 2024 14:07:09 +0300\r\n"
                    "Message-ID: <1.2.3@example.org>\r\n"
                    "MIME-Version: 1.0\r\n"
                    "Content-Type: text/plain; charset=windows-1251\r\n"
                    "Content-Transfer-Encoding: base64\r\n"
                    "\r\n" +
                        expected_body + "\r\nLmI=\r\n");
    const std::string empty;
    const std::string no_body = submission_message({mailbox, recipient, subject, empty, date, id, cp1251});
    EXPECT_EQ(no_body.substr(no_body.size() - 4), "\r\n\r\n") << "headers, the empty line, nothing more";
}
