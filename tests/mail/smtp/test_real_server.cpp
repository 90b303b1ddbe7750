// Runs only under tests/support/servers/smtp_fixture.py, which starts aiosmtpd on 127.0.0.1
// with password "secret", refusing sender refused@example.org and recipient
// nobody@example.org.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "app/message_texts.h"
#include "app/resource.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/smtp_send.h"
#include "tests/support/test_helpers.h"

namespace {

struct Spooled {
    bool found = false;
    std::string envelope;
    std::string bytes;
};

std::string read_whole(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The spooled message whose first line is this Subject line.
Spooled spooled_with_subject(const std::string& subject_line)
{
    const char* spool = std::getenv("TULVO_TEST_SMTP_SPOOL");
    Spooled message;
    for (int n = 1; spool != nullptr; ++n) {
        const std::string base = std::string(spool) + std::to_string(n);
        if (GetFileAttributesA((base + ".envelope").c_str()) == INVALID_FILE_ATTRIBUTES) break;
        const std::string bytes = read_whole(base + ".eml");
        if (bytes.compare(0, subject_line.size(), subject_line) != 0) continue;
        message.found = true;
        message.envelope = read_whole(base + ".envelope");
        message.bytes = bytes;
    }
    return message;
}

class RealServer : public testing::Test {
protected:
    void SetUp() override
    {
        const char* port = std::getenv("TULVO_TEST_SMTP_PORT");
        ASSERT_NE(port, nullptr) << "run through tests/support/servers/smtp_fixture.py";
        port_ = std::atoi(port);
    }

    std::vector<SeenBox> send(const std::string& login, const std::string& password, const std::string& mailbox,
                              const std::string& recipient, const std::string& subject, const std::string& body)
    {
        MessageBoxWatcher watcher;
        EXPECT_TRUE(send_letter("127.0.0.1", port_, {login, password, mailbox, recipient, subject, body},
                                SendMode::Interactive, nullptr, a_minute_from_now()));
        return watcher.boxes();
    }

    std::int32_t port_ = 0;
};

} // namespace

TEST_F(RealServer, AuthenticatedMessageArrivesWithExactEnvelopeAndBytes)
{
    const std::string body = cp1251("Компьютер выключается.") + "\r\n.hidden dot line\r\n.\r\nlast";
    const auto boxes = send("alice", "secret", "me@example.org", "boss@example.org", "Power off", body);
    EXPECT_TRUE(boxes.empty());
    const Spooled message = spooled_with_subject("Subject:Power off\r\n");
    ASSERT_TRUE(message.found);
    EXPECT_EQ(message.envelope, "from me@example.org\nto boss@example.org\nauth alice\n");
    EXPECT_EQ(message.bytes, "Subject:Power off\r\n" + body + "\r\n");
}

TEST_F(RealServer, MessageWithoutLoginArrivesUnauthenticated)
{
    const auto boxes = send("", "secret", "<me@example.org>", "<boss@example.org>", "No auth", ".\r\n");
    EXPECT_TRUE(boxes.empty());
    const Spooled message = spooled_with_subject("Subject:No auth\r\n");
    ASSERT_TRUE(message.found);
    EXPECT_EQ(message.envelope, "from me@example.org\nto boss@example.org\n");
    EXPECT_EQ(message.bytes, "Subject:No auth\r\n.\r\n\r\n");
}

TEST_F(RealServer, WholeLongCredentialsAreChecked)
{
    // 99 characters, the longest a settings field gives; a cut password would fail.
    const auto boxes = send(std::string(99, 'u'), "secret", "me@example.org", "boss@example.org", "Long login", "x");
    EXPECT_TRUE(boxes.empty());
    const Spooled message = spooled_with_subject("Subject:Long login\r\n");
    ASSERT_TRUE(message.found);
    EXPECT_EQ(message.envelope, "from me@example.org\nto boss@example.org\nauth " + std::string(99, 'u') + "\n");
}

TEST_F(RealServer, WrongPasswordShowsTheBadLoginText)
{
    const auto boxes = send("alice", "wrong", "me@example.org", "boss@example.org", "Wrong password", "x");
    expect_one_error_box(boxes, text_of(IDS_SMTP_BAD_LOGIN), nullptr);
    EXPECT_FALSE(spooled_with_subject("Subject:Wrong password\r\n").found);
}

TEST_F(RealServer, RefusedRecipientIsShownRightAfterItsText)
{
    const auto boxes = send("alice", "secret", "me@example.org", "nobody@example.org", "Refused recipient", "x");
    expect_one_error_box(boxes, text_with_value(IDS_SMTP_RECIPIENT_REFUSED, "nobody@example.org"), nullptr);
    EXPECT_FALSE(spooled_with_subject("Subject:Refused recipient\r\n").found);
}

TEST_F(RealServer, RefusedSenderIsShownAfterTheBadMailboxText)
{
    const auto boxes = send("", "", "refused@example.org", "boss@example.org", "Refused sender", "x");
    expect_one_error_box(boxes, text_with_value(IDS_SMTP_BAD_MAILBOX, "refused@example.org"), nullptr);
    EXPECT_FALSE(spooled_with_subject("Subject:Refused sender\r\n").found);
}
