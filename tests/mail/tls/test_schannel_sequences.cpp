// The TLS session against SChannel's status sequences as real Windows returns them,
// replayed by a scripted stand-in (Wine's SChannel answers some of them itself and
// knows no TLS 1.3). Each sequence names its source.
#include <gtest/gtest.h>

#include <winsock2.h>

#include <string>
#include <vector>

#include "mail/smtp/byte_stream.h"
#include "mail/smtp/receive_reply.h"
#include "mail/tls/tls_platform.h"
#include "mail/tls/tls_session.h"
#include "tests/support/test_helpers.h"
#include "tests/support/scripted_schannel.h"

namespace {

// Opaque records as the server would send them.
const std::string server_flight = "<server hello, certificate, done>";
const std::string certificate_request = "<server hello, certificate, certificate request, done>";
const std::string server_finished = "<change cipher spec, finished>";
const std::string ticket_1 = "<new session ticket 1>";
const std::string ticket_2 = "<new session ticket 2>";
const std::string greeting_record = "<record: 220 ready>";
const std::string greeting = "220 ready\r\n";

SspiStep acquire(SECURITY_STATUS status) { return {SspiCall::Acquire, status, "", ""}; }
SspiStep initialize(SECURITY_STATUS status, const std::string& takes, const std::string& sends = "")
{
    return {SspiCall::Initialize, status, takes, sends};
}
SspiStep decrypt(SECURITY_STATUS status, const std::string& takes, const std::string& plaintext = "")
{
    return {SspiCall::Decrypt, status, takes, plaintext};
}

// The usual handshake: the client hello, then the server's flight finishes it.
std::vector<SspiStep> handshake()
{
    return {acquire(SEC_E_OK), initialize(SEC_I_CONTINUE_NEEDED, "", "<client hello>"),
            initialize(SEC_E_OK, server_flight, "<client finished>")};
}

std::vector<SspiStep> operator+(std::vector<SspiStep> steps, const std::vector<SspiStep>& more)
{
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

// A connected pair on 127.0.0.1: the client end non-blocking, as the dialogue leaves it.
class Connection {
public:
    Connection()
    {
        std::uint16_t port = 0;
        const SOCKET listener = loopback_listener(port);
        listen(listener, 1);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
        server = accept(listener, nullptr, nullptr);
        closesocket(listener);
        u_long non_blocking = 1;
        ioctlsocket(client, FIONBIO, &non_blocking);
    }
    ~Connection()
    {
        tls_end();
        closesocket(client);
        closesocket(server);
    }

    // Sends from the server and waits until the client end can read it.
    void server_sends(const std::string& bytes)
    {
        send(server, bytes.data(), static_cast<int>(bytes.size()), 0);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(client, &readable);
        timeval wait{2, 0};
        select(0, &readable, nullptr, nullptr, &wait);
    }

    std::string server_received()
    {
        std::string bytes;
        char chunk[512];
        u_long waiting = 0;
        while (ioctlsocket(server, FIONREAD, &waiting) == 0 && waiting > 0) {
            const int got = recv(server, chunk, sizeof chunk, 0);
            if (got <= 0) break;
            bytes.append(chunk, got);
        }
        return bytes;
    }

    bool start() { return tls_start(client, "mail.example.org", a_minute_from_now()); }

    // What the session hands out now, or its result code as text.
    std::string receive()
    {
        char buffer[100];
        const int got = tls_receive(buffer, sizeof buffer);
        return got > 0 ? std::string(buffer, got) : "<" + std::to_string(got) + ">";
    }

    const WinsockStarted winsock;
    SOCKET client;
    SOCKET server;
};

} // namespace

// The server asks for a client certificate (Gmail since 2026). With no default
// credentials SChannel stops with SEC_I_INCOMPLETE_CREDENTIALS before taking the
// server's flight; called again with the same input it goes on without a
// certificate (InitializeSecurityContext (Schannel) on Microsoft Learn; curl's
// schannel.c and schannel-rs issue 32 do the same).
TEST(SchannelSequences, AClientCertificateAskedForIsAnsweredWithNone)
{
    script_schannel({{acquire(SEC_E_OK), initialize(SEC_I_CONTINUE_NEEDED, "", "<client hello>"),
                      initialize(SEC_I_INCOMPLETE_CREDENTIALS, certificate_request),
                      initialize(SEC_I_CONTINUE_NEEDED, certificate_request, "<empty certificate, finished>"),
                      initialize(SEC_E_OK, server_finished)},
                     SP_PROT_TLS1_2_CLIENT});
    Connection connection;
    connection.server_sends(certificate_request + server_finished);
    ASSERT_TRUE(connection.start());
    const SspiRecord& record = schannel_record();
    EXPECT_EQ(record.initialize_inputs,
              (std::vector<std::string>{"", certificate_request + server_finished,
                                        certificate_request + server_finished, server_finished}));
    EXPECT_EQ(connection.server_received(), "<client hello><empty certificate, finished>");
    ASSERT_EQ(record.credential_flags.size(), 1u) << "no certificate of the user's is offered";
    EXPECT_TRUE(record.credential_flags[0] & SCH_CRED_NO_DEFAULT_CREDS);
}

// Windows 10 1809 and Server 2019 refuse the newer credentials record that allows
// TLS 1.3 with SEC_E_ALGORITHM_MISMATCH (curl issue 21702): the older record,
// TLS 1.2 alone, is taken instead.
TEST(SchannelSequences, TheNewerRecordRefusedFallsBackToTls12)
{
    script_schannel({std::vector<SspiStep>{acquire(SEC_E_ALGORITHM_MISMATCH)} + handshake(), SP_PROT_TLS1_2_CLIENT});
    Connection connection;
    connection.server_sends(server_flight);
    ASSERT_TRUE(connection.start());
    const SspiRecord& record = schannel_record();
    EXPECT_EQ(record.credential_versions, (std::vector<DWORD>{SCH_CREDENTIALS_VERSION, SCHANNEL_CRED_VERSION}));
    EXPECT_EQ(record.enabled_protocols[1], static_cast<DWORD>(SP_PROT_TLS1_2_CLIENT));
}

// Windows 11 with TLS 1.3: session tickets come right after the handshake, often
// two, in the same read as the greeting. DecryptMessage answers SEC_I_RENEGOTIATE
// for each; its SECBUFFER_EXTRA goes to InitializeSecurityContext as the token
// (Recognizing a Request to Renegotiate a Connection, Microsoft Learn), and what
// that call leaves over are records for DecryptMessage again, which may
// renegotiate once more (dotnet/runtime PR 103419, schannel-rs issue 111).
TEST(SchannelSequences, TwoSessionTicketsAndTheGreetingInOneRead)
{
    script_schannel({handshake() + std::vector<SspiStep>{decrypt(SEC_I_RENEGOTIATE, ticket_1), initialize(SEC_E_OK, ""),
                                                         decrypt(SEC_I_RENEGOTIATE, ticket_2), initialize(SEC_E_OK, ""),
                                                         decrypt(SEC_E_OK, greeting_record, greeting)},
                     SP_PROT_TLS1_3_CLIENT});
    Connection connection;
    connection.server_sends(server_flight);
    ASSERT_TRUE(connection.start());
    connection.server_sends(ticket_1 + ticket_2 + greeting_record);
    EXPECT_EQ(connection.receive(), greeting);
    const SspiRecord& record = schannel_record();
    EXPECT_EQ(record.decrypt_inputs, (std::vector<std::string>{ticket_1 + ticket_2 + greeting_record,
                                                               ticket_2 + greeting_record, greeting_record}));
    EXPECT_EQ(std::vector<std::string>(record.initialize_inputs.begin() + 2, record.initialize_inputs.end()),
              (std::vector<std::string>{ticket_2 + greeting_record, greeting_record}));
}

// Bytes after the step that finished the handshake (the greeting in the same read
// as the server's Finished) are an application record: they go to DecryptMessage,
// never to another handshake step (dotnet/runtime PR 103419, curl issue 18983).
TEST(SchannelSequences, ExtraBytesAfterTheLastHandshakeStepAreDecrypted)
{
    script_schannel(
        {handshake() + std::vector<SspiStep>{decrypt(SEC_E_OK, greeting_record, greeting)}, SP_PROT_TLS1_3_CLIENT});
    Connection connection;
    connection.server_sends(server_flight + greeting_record);
    ASSERT_TRUE(connection.start());
    EXPECT_EQ(connection.receive(), greeting);
    EXPECT_EQ(schannel_record().initialize_inputs.size(), 2u);
}

// A record split over two reads: DecryptMessage answers SEC_E_INCOMPLETE_MESSAGE
// until the rest has come, and nothing is handed out meanwhile (DecryptMessage
// (Schannel), Microsoft Learn).
TEST(SchannelSequences, TheGreetingSplitOverTwoReads)
{
    script_schannel(
        {handshake() + std::vector<SspiStep>{decrypt(SEC_E_OK, greeting_record, greeting)}, SP_PROT_TLS1_2_CLIENT});
    Connection connection;
    connection.server_sends(server_flight);
    ASSERT_TRUE(connection.start());
    connection.server_sends(greeting_record.substr(0, 7));
    EXPECT_EQ(connection.receive(), "<" + std::to_string(TLS_PENDING) + ">");
    connection.server_sends(greeting_record.substr(7));
    EXPECT_EQ(connection.receive(), greeting);
}

// close_notify in the middle of a multi-line reply: SEC_I_CONTEXT_EXPIRED ends the
// session at once, and the reply fails without the second of silence.
TEST(SchannelSequences, TheContextExpiringInTheMiddleOfAReplyFailsItAtOnce)
{
    script_schannel(
        {handshake() + std::vector<SspiStep>{decrypt(SEC_E_OK, "<record: 250-first line>", "250-first line\r\n"),
                                             decrypt(SEC_I_CONTEXT_EXPIRED, "<close notify>")},
         SP_PROT_TLS1_2_CLIENT});
    Connection connection;
    connection.server_sends(server_flight);
    stream_open(connection.client);
    ASSERT_TRUE(stream_start_tls("mail.example.org", a_minute_from_now()));
    connection.server_sends(std::string("<record: 250-first line>") + "<close notify>");
    reply_reset(reply_reader);
    const ULONGLONG started = GetTickCount64();
    EXPECT_EQ(receive_reply(true, a_minute_from_now()), ReplyClass::Failed);
    EXPECT_LT(GetTickCount64() - started, 500u);
    stream_close();
}

// Only TLS 1.2 and 1.3 pass, whatever else the package may one day negotiate; TLS
// 1.3 only from build 20348 on, where it is a released feature (curl's SChannel
// backend draws the same line): older Windows 10 builds have an experimental
// client a registry key switches on, which is neither offered nor accepted.
TEST(SchannelSequences, OnlyTls12And13AreAcceptedAnd13OnlyWhereReleased)
{
    const DWORD windows_11 = 22631, server_2022 = 20348, windows_10_22h2 = 19045;
    const struct {
        DWORD protocol;
        DWORD build;
        bool accepted;
    } rows[] = {
        {SP_PROT_TLS1_2_CLIENT, windows_11, true},
        {SP_PROT_TLS1_3_CLIENT, windows_11, true},
        {SP_PROT_TLS1_3_CLIENT, server_2022, true},
        {SP_PROT_TLS1_3_CLIENT, windows_10_22h2, false},
        {SP_PROT_TLS1_2_CLIENT, windows_10_22h2, true},
        {SP_PROT_TLS1_1_CLIENT, windows_11, false},
        {SP_PROT_SSL3_CLIENT, windows_11, false},
        {SP_PROT_DTLS1_2_CLIENT, windows_11, false},
        {0, windows_11, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.protocol) + " on build " + std::to_string(row.build));
        script_schannel({handshake(), row.protocol, row.build});
        Connection connection;
        connection.server_sends(server_flight);
        EXPECT_EQ(connection.start(), row.accepted);
        EXPECT_EQ((schannel_record().disabled_protocols[0] & SP_PROT_TLS1_3_CLIENT) != 0, row.build < server_2022);
    }
}

// A renegotiation may bring another certificate: it is checked again, and one that
// is not trusted ends the session before any of its data is handed out.
TEST(SchannelSequences, TheCertificateIsCheckedAgainAfterARenegotiation)
{
    for (std::size_t trusted_checks : {1u, 2u}) {
        SCOPED_TRACE(trusted_checks);
        script_schannel(
            {handshake() + std::vector<SspiStep>{decrypt(SEC_I_RENEGOTIATE, ticket_1), initialize(SEC_E_OK, ""),
                                                 decrypt(SEC_E_OK, greeting_record, greeting)},
             SP_PROT_TLS1_3_CLIENT, 22631, trusted_checks});
        Connection connection;
        connection.server_sends(server_flight);
        ASSERT_TRUE(connection.start());
        connection.server_sends(ticket_1 + greeting_record);
        EXPECT_EQ(connection.receive(), trusted_checks == 2 ? greeting : "<" + std::to_string(TLS_CLOSED) + ">");
        EXPECT_EQ(schannel_record().certificate_checks, 2u);
    }
}
