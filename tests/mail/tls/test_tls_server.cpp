// Runs only under tests/support/servers/smtps_fixture.py, which puts a switchable server on
// 127.0.0.1 port 465 and trusts its test CA in the Wine prefix.
#include <gtest/gtest.h>

#include <winsock2.h>

#include <cstdlib>
#include <string>

#include "app/message_texts.h"
#include "app/resource.h"
#include "mail/notification.h"
#include "scheduler/firing.h"
#include "settings/mail_settings.h"
#include "tests/support/servers/tls_fixture_client.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/system_double.h"
#include "tests/support/test_helpers.h"

namespace {

const FiringChoices power_off_with_mail{ShutdownAction::PowerOff, true, false};

void fire_and_take_quit()
{
    fire(power_off_with_mail);
    EXPECT_TRUE(quit_posted());
}

void serve(const char* mode) { ASSERT_EQ(ask_tls_fixture(std::string("serve ") + mode), "ready"); }

// A field of the fixture's flat JSON answer: a string unescaped, anything else as written.
std::string field(const std::string& json, const std::string& name)
{
    const std::string key = "\"" + name + "\": ";
    std::size_t at = json.find(key);
    if (at == std::string::npos) return "<missing>";
    at += key.size();
    if (json[at] != '"') return json.substr(at, json.find_first_of(",}", at) - at);
    std::string value;
    for (++at; at < json.size() && json[at] != '"'; ++at) {
        if (json[at] != '\\') {
            value += json[at];
            continue;
        }
        const char escaped = json[++at];
        value += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
    }
    return value;
}

class TlsServer : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("TULVO_TEST_TLS_CONTROL"), nullptr)
            << "run through tests/support/servers/smtps_fixture.py";
        reset_system_double();
        use_smtp_server("localhost", 465);
        mail_settings.recipient = "boss@example.org";
        mail_settings.subject = cp1251("Компьютер выключается по расписанию");
        mail_settings.body = cp1251("Выключение через минуту.\r\nВторая строка.");
        mail_settings.smtp_login = "alice";
        mail_settings.smtp_password = "secret";
    }
};

void expect_delivered_as_typed(const std::string& message)
{
    EXPECT_EQ(field(message, "envelope_from"), "pc@example.org");
    EXPECT_EQ(field(message, "envelope_to"), "[\"boss@example.org\"]");
    EXPECT_EQ(field(message, "auth"), "alice");
    EXPECT_EQ(field(message, "from"), "pc@example.org");
    EXPECT_EQ(field(message, "to"), "boss@example.org");
    EXPECT_EQ(field(message, "subject"), "Компьютер выключается по расписанию");
    EXPECT_EQ(field(message, "body"), "Выключение через минуту.\r\nВторая строка.");
    EXPECT_EQ(field(message, "charset"), "windows-1251");
    EXPECT_EQ(field(message, "content_type"), "text/plain");
    EXPECT_EQ(field(message, "date_offset_minutes"), field(message, "local_offset_minutes"));
    EXPECT_LT(std::abs(std::atof(field(message, "date_age_seconds").c_str())), 5.0);
    EXPECT_NE(field(message, "message_id").find("@example.org>"), std::string::npos);
    EXPECT_EQ(field(message, "raw_header_lines_ok"), "true");
}

} // namespace

TEST_F(TlsServer, TestSendDeliversAProperMessage)
{
    serve("trusted");
    MessageBoxWatcher watcher;
    test_send(nullptr, false);
    EXPECT_TRUE(watcher.boxes().empty());
    expect_delivered_as_typed(ask_tls_fixture("message"));
}

TEST_F(TlsServer, ArmedFiringDeliversBeforeTheRequest)
{
    serve("trusted");
    mail_settings.subject = cp1251("Плановое выключение");
    MessageBoxWatcher watcher;
    ASSERT_EQ(arm_notification(nullptr, false), 0);
    fire_and_take_quit();
    EXPECT_EQ(shutdown_requests().size(), 1u);
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_EQ(field(ask_tls_fixture("message"), "subject"), "Плановое выключение");
}

TEST_F(TlsServer, UntrustedOrFailedConnectionsShowNoConnectionOrNothingAndTheRequestFollows)
{
    for (const char* mode :
         {"untrusted-leaf", "untrusted-chain", "wrong-name", "close-in-handshake", "plain", "tls1.1"}) {
        SCOPED_TRACE(mode);
        serve(mode);
        {
            MessageBoxWatcher watcher;
            test_send(nullptr, false);
            expect_one_error_box(watcher.boxes(), text_of(IDS_SMTP_NO_CONNECTION), nullptr);
        }
        EXPECT_EQ(field(ask_tls_fixture("received"), "received").find("EHLO"), std::string::npos)
            << "nothing was said to a server that is not trusted";
        reset_system_double();
        MessageBoxWatcher watcher;
        ASSERT_EQ(arm_notification(nullptr, false), 0);
        fire_and_take_quit();
        EXPECT_EQ(shutdown_requests().size(), 1u);
        EXPECT_TRUE(watcher.boxes().empty());
    }
}

// A slow server takes 0.4 s over EHLO, AUTH and the end of the message: 1.6 s each
// on the client's clock, run four times as fast as real time.
TEST_F(TlsServer, RepliesSplitAcrossRecordsSlowOrAfterARefusedEhloStillDeliver)
{
    for (const char* mode : {"split", "refuse-ehlo", "slow"}) {
        SCOPED_TRACE(mode);
        serve(mode);
        MessageBoxWatcher watcher;
        {
            FastClock fast(4);
            test_send(nullptr, false);
        }
        EXPECT_TRUE(watcher.boxes().empty());
        const std::string received = field(ask_tls_fixture("received"), "received");
        EXPECT_NE(received.find("MAIL FROM:<pc@example.org>\r\nRCPT TO:<boss@example.org>\r\nDATA\r\n"),
                  std::string::npos);
        EXPECT_NE(received.find("\r\n.\r\nQUIT\r\n"), std::string::npos);
        if (std::string(mode) == "refuse-ehlo") {
            EXPECT_NE(received.find("\r\nHELO "), std::string::npos);
        }
    }
}

// On port 587 the letter goes only after STARTTLS, to a server whose certificate is
// trusted: one that does not offer STARTTLS, or is not trusted, never sees AUTH. A
// server that asks for a client certificate gets none and the letter all the same.
TEST_F(TlsServer, OnPort587TheLetterGoesOnlyAfterStartTls)
{
    mail_settings.smtp_port = 587;
    const struct {
        const char* mode;
        bool delivered;
    } rows[] = {
        {"starttls", true},
        {"starttls-client-certificate", true},
        {"starttls-untrusted", false},
        {"no-starttls", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        serve(row.mode);
        MessageBoxWatcher watcher;
        test_send(nullptr, false);
        const std::string commands = field(ask_tls_fixture("received"), "received");
        if (row.delivered) {
            EXPECT_TRUE(watcher.boxes().empty());
            EXPECT_EQ(commands, "EHLO\nSTARTTLS\nEHLO\nAUTH\nMAIL\n");
            expect_delivered_as_typed(ask_tls_fixture("message"));
        } else {
            expect_one_error_box(watcher.boxes(), text_of(IDS_SMTP_NO_CONNECTION), nullptr);
            EXPECT_EQ(commands.find("AUTH"), std::string::npos) << commands;
            EXPECT_EQ(commands.find("MAIL"), std::string::npos) << commands;
        }
    }
}
