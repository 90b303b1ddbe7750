#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/message_texts.h"
#include "app/resource.h"
#include "mail/smtp/wire_lines.h"
#include "tests/support/servers/scripted_smtp_server.h"
#include "tests/support/smtp_send.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/owner_window.h"
#include "tests/support/system_double.h"
#include "tests/support/test_helpers.h"

namespace {

struct Outcome {
    std::string wire;
    std::vector<SeenBox> boxes;
};

Outcome converse(ScriptedSmtpServer& server, std::int32_t port, const Letter& m, SendMode mode, HWND owner)
{
    MessageBoxWatcher watcher;
    EXPECT_TRUE(send_letter("127.0.0.1", port, m, mode, owner, a_minute_from_now()));
    return {server.received(), watcher.boxes()};
}

Outcome run(const SmtpScript& script, const Letter& m, SendMode mode = SendMode::Interactive, HWND owner = nullptr)
{
    ScriptedSmtpServer server(script);
    return converse(server, server.port(), m, mode, owner);
}

// What the client names itself on a connection to 127.0.0.1.
std::string host_name()
{
    const WinsockStarted winsock;
    char name[256] = {};
    gethostname(name, sizeof name);
    return greeting_name(name, 0x7F000001);
}

// The conversation with user/secret, step by step: what the client sends and the
// reply of a server that accepts it.
struct Step {
    std::string client;
    std::string server;
};

std::vector<Step> accepting_steps(bool with_auth, const std::string& body_on_wire = "The PC goes off now.")
{
    std::vector<Step> steps = {{"", "220 hi\r\n"}, {"HELO " + host_name() + "\r\n", "250 ok\r\n"}};
    if (with_auth) {
        steps.push_back({"AUTH LOGIN\r\n", "334 VXNl\r\n"});
        steps.push_back({"dXNlcg==\r\n", "334 UGFz\r\n"});
        steps.push_back({"c2VjcmV0\r\n", "235 ok\r\n"});
    }
    steps.push_back({"MAIL FROM:me@example.org\r\n", "250 ok\r\n"});
    steps.push_back({"RCPT TO:boss@example.org\r\n", "250 ok\r\n"});
    steps.push_back({"DATA\r\n", "354 go\r\n"});
    steps.push_back({"Subject:Shutdown\r\n" + body_on_wire + "\r\n.\r\n", "250 ok\r\n"});
    steps.push_back({"QUIT\r\n", "221 bye\r\n"});
    return steps;
}

SmtpScript script_of(const std::vector<Step>& steps)
{
    SmtpScript script;
    script.greeting = reply(steps[0].server);
    for (std::size_t i = 1; i < steps.size(); ++i) script.replies.push_back(reply(steps[i].server));
    return script;
}

std::string wire_of(const std::vector<Step>& steps, std::size_t through)
{
    std::string wire;
    for (std::size_t i = 0; i <= through && i < steps.size(); ++i) wire += steps[i].client;
    return wire;
}

std::string full_wire(const std::vector<Step>& steps) { return wire_of(steps, steps.size()); }

void expect_one_error_box(const Outcome& outcome, const std::wstring& text, HWND owner)
{
    expect_one_error_box(outcome.boxes, text, owner);
}

struct FailureRow {
    const char* what;
    bool with_auth;
    std::size_t step; // index into accepting_steps
    const char* refusal;
    int text;
    const char* value; // nullptr: the text alone
};

const FailureRow failure_rows[] = {
    {"greeting refused", false, 0, "554 go away\r\n", IDS_SMTP_NO_CONNECTION, nullptr},
    {"HELO refused", false, 1, "501 bad\r\n", IDS_SMTP_SEND_FAILED, nullptr},
    {"AUTH LOGIN refused", true, 2, "504 no\r\n", IDS_SMTP_SEND_FAILED, nullptr},
    {"login refused", true, 3, "535 no\r\n", IDS_SMTP_BAD_LOGIN, nullptr},
    {"password refused", true, 4, "535 bad\r\n", IDS_SMTP_BAD_LOGIN, nullptr},
    {"password answered 334", true, 4, "334 again\r\n", IDS_SMTP_BAD_LOGIN, nullptr},
    {"MAIL FROM refused", true, 5, "553 no\r\n", IDS_SMTP_BAD_MAILBOX, "me@example.org"},
    {"RCPT TO refused", false, 3, "550 no\r\n", IDS_SMTP_RECIPIENT_REFUSED, "boss@example.org"},
    {"DATA refused", false, 4, "554 no\r\n", IDS_SMTP_SEND_FAILED, nullptr},
    {"DATA answered 451", false, 4, "451 later\r\n", IDS_SMTP_SEND_FAILED, nullptr},
    {"end of data answered 451", false, 5, "451 later\r\n", IDS_SMTP_SEND_FAILED, nullptr},
    {"end of data answered 354", false, 5, "354 again\r\n", IDS_SMTP_SEND_FAILED, nullptr},
};

} // namespace

TEST(SmtpDialogue, FullConversationPutsExactlyTheseBytesOnTheWire)
{
    OwnerWindow owner;
    const Outcome outcome = run(script_of(accepting_steps(true)), Letter(), SendMode::Interactive, owner.handle());
    EXPECT_EQ(outcome.wire, "HELO " + host_name() +
                                "\r\nAUTH LOGIN\r\ndXNlcg==\r\nc2VjcmV0\r\nMAIL FROM:me@example.org\r\n"
                                "RCPT TO:boss@example.org\r\nDATA\r\nSubject:Shutdown\r\nThe PC goes off now.\r\n.\r\n"
                                "QUIT\r\n");
    EXPECT_TRUE(outcome.boxes.empty());
}

TEST(SmtpDialogue, WithoutLoginOrPasswordNoAuthIsSent)
{
    for (int which = 0; which < 2; ++which) {
        Letter m;
        (which == 0 ? m.login : m.password).clear();
        const Outcome outcome = run(script_of(accepting_steps(false)), m);
        EXPECT_EQ(outcome.wire, full_wire(accepting_steps(false))) << which;
        EXPECT_TRUE(outcome.boxes.empty());
    }
}

TEST(SmtpDialogue, EveryRefusedStepShowsItsOneMessageWhenInteractiveAndNothingWhenSilent)
{
    OwnerWindow owner;
    for (const FailureRow& row : failure_rows) {
        std::vector<Step> steps = accepting_steps(row.with_auth);
        steps.resize(row.step + 1);
        steps.back().server = row.refusal;
        Letter m;
        if (!row.with_auth) m.login.clear();
        const std::wstring expected_text = row.value ? text_with_value(row.text, row.value) : text_of(row.text);
        for (SendMode mode : {SendMode::Interactive, SendMode::Silent}) {
            SCOPED_TRACE(std::string(row.what) + (mode == SendMode::Silent ? ", silent" : ", interactive"));
            const Outcome outcome = run(script_of(steps), m, mode, owner.handle());
            EXPECT_EQ(outcome.wire, wire_of(steps, row.step));
            if (mode == SendMode::Interactive)
                expect_one_error_box(outcome, expected_text, owner.handle());
            else
                EXPECT_TRUE(outcome.boxes.empty());
        }
    }
}

TEST(SmtpDialogue, RefusedQuitIsIgnored)
{
    std::vector<Step> steps = accepting_steps(true);
    steps.back().server = "500 what\r\n";
    const Outcome outcome = run(script_of(steps), Letter());
    EXPECT_EQ(outcome.wire, full_wire(steps));
    EXPECT_TRUE(outcome.boxes.empty());
}

TEST(SmtpDialogue, SilentServerShowsNoConnectionAfterTheWait)
{
    SmtpScript silent;
    silent.greet = false;
    FastClock fast;
    for (SendMode mode : {SendMode::Interactive, SendMode::Silent}) {
        const Outcome outcome = run(silent, Letter(), mode);
        EXPECT_EQ(outcome.wire, "");
        if (mode == SendMode::Interactive)
            expect_one_error_box(outcome, text_of(IDS_SMTP_NO_CONNECTION), nullptr);
        else
            EXPECT_TRUE(outcome.boxes.empty());
    }
}

// Servers take seconds over AUTH or to scan a message before they answer its end:
// each reply may take up to 30 s of silence, on the clock the client reads.
TEST(SmtpDialogue, RepliesThatTakeTheirTimeAreAwaitedUpToTheSilenceLimit)
{
    const struct {
        const char* what;
        std::size_t step; // index into accepting_steps(true)
        std::uint64_t delay_ms;
        int text; // 0: delivered
    } rows[] = {
        {"greeting command answered after 20 s", 1, 20000, 0},
        {"AUTH LOGIN answered after 20 s", 2, 20000, 0},
        {"end of the message answered after 20 s", 8, 20000, 0},
        {"greeting command answered after 35 s", 1, 35000, IDS_SMTP_SEND_FAILED},
    };
    FastClock fast;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::vector<Step> steps = accepting_steps(true);
        SmtpScript script = script_of(steps);
        script.replies[row.step - 1] = reply_after(row.delay_ms, steps[row.step].server);
        const Outcome outcome = run(script, Letter());
        if (row.text == 0) {
            EXPECT_EQ(outcome.wire, full_wire(steps));
            EXPECT_TRUE(outcome.boxes.empty());
        } else {
            expect_one_error_box(outcome, text_of(row.text), nullptr);
        }
    }
}

TEST(SmtpDialogue, RefusedConnectionShowsNoConnectionOnlyWhenInteractive)
{
    for (SendMode mode : {SendMode::Interactive, SendMode::Silent}) {
        const std::uint16_t port = static_cast<std::uint16_t>(closed_loopback_port());
        MessageBoxWatcher watcher;
        ASSERT_TRUE(send_letter("127.0.0.1", port, Letter(), mode, nullptr, a_minute_from_now()));
        const Outcome outcome{"", watcher.boxes()};
        if (mode == SendMode::Interactive)
            expect_one_error_box(outcome, text_of(IDS_SMTP_NO_CONNECTION), nullptr);
        else
            EXPECT_TRUE(outcome.boxes.empty());
    }
}

TEST(SmtpDialogue, ServerClosingMidConversationFailsThatStep)
{
    std::vector<Step> steps = accepting_steps(false);
    steps.resize(3); // the server closes when RCPT TO arrives
    Letter m;
    m.login.clear();
    const Outcome outcome = run(script_of(steps), m);
    EXPECT_EQ(outcome.wire, wire_of(steps, 2) + "RCPT TO:boss@example.org\r\n");
    expect_one_error_box(outcome, text_with_value(IDS_SMTP_RECIPIENT_REFUSED, "boss@example.org"), nullptr);
}

TEST(SmtpDialogue, RepliesSplitAtEveryBytePositionGiveTheSameConversation)
{
    const std::vector<Step> steps = accepting_steps(true);
    std::size_t longest = 0;
    for (const Step& step : steps) longest = std::max(longest, step.server.size());
    for (std::size_t position = 1; position < longest; ++position) {
        SmtpScript script;
        script.greeting = reply_split_at(steps[0].server, position, 80);
        for (std::size_t i = 1; i < steps.size(); ++i)
            script.replies.push_back(reply_split_at(steps[i].server, position, 80));
        const Outcome outcome = run(script, Letter());
        EXPECT_EQ(outcome.wire, full_wire(steps)) << "split at " << position;
        EXPECT_TRUE(outcome.boxes.empty()) << "split at " << position;
    }
}

TEST(SmtpDialogue, TrickleWithGapsUnderTheLimitIsNeverCutOff)
{
    // About 2 s for the greeting, a byte every 0.3 s.
    std::vector<Step> steps = accepting_steps(false);
    SmtpScript script = script_of(steps);
    script.greeting = reply_bytewise("220 slow\r\n", 300);
    script.replies[0] = reply_bytewise("250 ok\r\n", 300);
    Letter m;
    m.login.clear();
    const Outcome outcome = run(script, m);
    EXPECT_EQ(outcome.wire, full_wire(steps));
    EXPECT_TRUE(outcome.boxes.empty());
}

TEST(SmtpDialogue, MultiLineGreetingAndRepliesAreEachJudgedOnTheirLastLine)
{
    std::vector<Step> steps = accepting_steps(true);
    steps[0].server = "220-mail.example.org\r\n220-no spam please\r\n220 ready\r\n";
    steps[1].server = "250-hello\r\n250-AUTH LOGIN\r\n250 HELP\r\n";
    steps[4].server = "235-2.7.0 go\r\n235 2.7.0 ok\r\n";
    steps[8].server = "250-queued\r\n250 as 12345\r\n";
    for (std::size_t position : {0u, 3u, 4u, 5u, 21u, 22u}) {
        SmtpScript script = script_of(steps);
        script.greeting = reply_split_at(steps[0].server, position, 80);
        const Outcome outcome = run(script, Letter());
        EXPECT_EQ(outcome.wire, full_wire(steps)) << position;
        EXPECT_TRUE(outcome.boxes.empty()) << position;
    }
}

TEST(SmtpDialogue, MultiLineRefusalIsStillARefusal)
{
    std::vector<Step> steps = accepting_steps(true);
    steps.resize(5);
    steps[4].server = "334-more\r\n535-5.7.8 bad\r\n535 5.7.8 credentials\r\n";
    const Outcome outcome = run(script_of(steps), Letter());
    EXPECT_EQ(outcome.wire, wire_of(steps, 4));
    expect_one_error_box(outcome, text_of(IDS_SMTP_BAD_LOGIN), nullptr);
}

TEST(SmtpDialogue, LongMultiLineReplyBeyondTheRingIsReadWhole)
{
    std::vector<Step> steps = accepting_steps(false);
    std::string long_reply;
    for (int i = 0; i < 40; ++i) long_reply += "250-extension number " + std::to_string(i) + "\r\n";
    steps[1].server = long_reply + "250 end\r\n";
    Letter m;
    m.login.clear();
    const Outcome outcome = run(script_of(steps), m);
    EXPECT_EQ(outcome.wire, full_wire(steps));
    EXPECT_TRUE(outcome.boxes.empty());
}

TEST(SmtpDialogue, UnsolicitedLinesOverflowingTheRingAreDroppedWithoutHarm)
{
    std::vector<Step> steps = accepting_steps(true);
    std::string flood;
    for (int i = 0; i < 60; ++i) flood += "2222222\r\n";
    steps[0].server = "220 hi\r\n" + flood;
    const Outcome outcome = run(script_of(steps), Letter());
    EXPECT_EQ(outcome.wire, full_wire(steps));
    EXPECT_TRUE(outcome.boxes.empty());
}

TEST(SmtpDialogue, BodyIsSentDotStuffed)
{
    struct BodyCase {
        std::string body;
        std::string on_wire;
    };
    const BodyCase cases[] = {
        {".starts with a dot\r\n.\r\n..two\r\nend", "..starts with a dot\r\n..\r\n...two\r\nend"},
        {"", ""},
        {"ends with a line end\r\n", "ends with a line end\r\n"},
    };
    for (const BodyCase& c : cases) {
        Letter m;
        m.body = c.body;
        const std::vector<Step> steps = accepting_steps(true, c.on_wire);
        const Outcome outcome = run(script_of(steps), m);
        EXPECT_EQ(outcome.wire, full_wire(steps)) << c.body;
        EXPECT_TRUE(outcome.boxes.empty());
    }
}

// 99 characters, the most a settings field holds: 132 characters each on the wire.
TEST(SmtpDialogue, CredentialsOf99CharactersAreSentWhole)
{
    Letter m;
    m.login = std::string(99, 'a');
    m.password = std::string(98, 'b') + "c";
    std::vector<Step> steps = accepting_steps(true);
    std::string login_line;
    std::string password_line;
    for (int i = 0; i < 33; ++i) login_line += "YWFh";
    for (int i = 0; i < 32; ++i) password_line += "YmJi";
    password_line += "YmJj";
    steps[3].client = login_line + "\r\n";
    steps[4].client = password_line + "\r\n";
    const Outcome outcome = run(script_of(steps), m);
    EXPECT_EQ(outcome.wire, full_wire(steps));
    EXPECT_TRUE(outcome.boxes.empty());
}

// On port 587 the letter goes only over TLS: a server that does not offer STARTTLS,
// refuses it or sends anything after its go-ahead gets no further byte.
TEST(SmtpDialogue, OnPort587NothingFollowsAMissingOrSpoiledStartTls)
{
    const std::string ehlo = "EHLO " + host_name() + "\r\n";
    const struct {
        const char* what;
        std::vector<std::string> replies;
        std::string wire;
    } rows[] = {
        {"EHLO refused, HELO taken",
         {"500 no\r\n", "250 ok\r\n", "250 never\r\n"},
         ehlo + "HELO " + host_name() + "\r\n"},
        {"STARTTLS refused", {"250-x\r\n250 STARTTLS\r\n", "454 not now\r\n", "250 never\r\n"}, ehlo + "STARTTLS\r\n"},
        {"bytes after the go-ahead",
         {"250-x\r\n250 STARTTLS\r\n", "220 go ahead\r\n250-x\r\n250 AUTH LOGIN\r\n", "250 never\r\n"},
         ehlo + "STARTTLS\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SmtpScript script;
        script.port = 587;
        script.greeting = reply("220 hi\r\n");
        for (const std::string& r : row.replies) script.replies.push_back(reply(r));
        ScriptedSmtpServer server(script);
        const Outcome outcome = converse(server, 587, Letter(), SendMode::Interactive, nullptr);
        EXPECT_EQ(outcome.wire, row.wire);
        expect_one_error_box(outcome, text_of(IDS_SMTP_NO_CONNECTION), nullptr);
    }
}

TEST(SmtpDialogue, AnAddressHoldingAControlByteIsRefusedBeforeConnecting)
{
    const struct {
        std::string mailbox;
        std::string recipient;
        int text;
    } rows[] = {
        {"me@example.org\r\nRCPT TO:<other@example.org>", "boss@example.org", IDS_SMTP_BAD_MAILBOX},
        {"me@example.org", "boss@example.org\nDATA", IDS_SMTP_RECIPIENT_REFUSED},
        {"me@example.org", "boss\x7F@example.org", IDS_SMTP_RECIPIENT_REFUSED},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mailbox + row.recipient);
        Letter m;
        m.mailbox = row.mailbox;
        m.recipient = row.recipient;
        ScriptedSmtpServer server(script_of(accepting_steps(true)));
        MessageBoxWatcher watcher;
        ASSERT_TRUE(send_letter("127.0.0.1", server.port(), m, SendMode::Interactive, nullptr, a_minute_from_now()));
        EXPECT_FALSE(server.connected());
        const std::string& value = row.text == IDS_SMTP_BAD_MAILBOX ? m.mailbox : m.recipient;
        expect_one_error_box(watcher.boxes(), text_with_value(row.text, value.c_str()), nullptr);
    }
}
