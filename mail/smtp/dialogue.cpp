#include "mail/smtp/dialogue.h"

#include "app/message_texts.h"
#include "platform/paint_only.h"
#include "app/resource.h"
#include "text/text_scratch.h"
#include "mail/smtp/byte_stream.h"
#include "mail/smtp/connection.h"
#include "mail/smtp/message_stamps.h"
#include "mail/smtp/receive_reply.h"
#include "mail/smtp/submission_message.h"
#include "mail/smtp/wire_lines.h"
#include "platform/system_calls.h"

namespace {

const int delivered = 0;

// How often a connect under way looks at the clock, which may jump (sleep, a
// test's clock), and lets the window paint.
const std::uint64_t connect_step_ms = 100;

struct Message {
    const std::string& login;
    const std::string& password;
    const std::string& mailbox;
    const std::string& recipient;
    const std::string& subject;
    const std::string& body;
    std::uint64_t deadline_ms;
};

bool accepted(const Message& message, bool strict)
{
    return receive_reply(strict, message.deadline_ms) == ReplyClass::Accepted;
}

bool command(const Message& message, const std::string& line, bool strict)
{
    stream_send(line);
    return accepted(message, strict);
}

// A failed connect shows as an exception, a made one as writability.
bool wait_connected(SOCKET socket_handle, std::uint64_t deadline_ms)
{
    for (;;) {
        const std::uint64_t now = system_milliseconds();
        if (now >= deadline_ms) return false;
        const std::uint64_t left = deadline_ms - now;
        const long step_ms = static_cast<long>(left < connect_step_ms ? left : connect_step_ms);
        timeval step{step_ms / 1000, step_ms % 1000 * 1000};
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket_handle, &writable);
        FD_SET(socket_handle, &failed);
        if (select(0, nullptr, &writable, &failed, &step) == SOCKET_ERROR || FD_ISSET(socket_handle, &failed))
            return false;
        if (!FD_ISSET(socket_handle, &writable)) {
            serve_paint_only();
            continue;
        }
        int error = 0;
        int length = sizeof error;
        getsockopt(socket_handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        return error == 0;
    }
}

// Non-blocking from the start: a server that drops packets costs no more than the
// deadline, not the system's connect time-out.
bool connect_to_server(std::int32_t port, std::uint64_t deadline_ms)
{
    const SOCKET socket_handle = smtp_connection.socket_handle;
    u_long non_blocking = 1;
    ioctlsocket(socket_handle, FIONBIO, &non_blocking);
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(smtp_port_number(port));
    server.sin_addr.s_addr = smtp_connection.server_address;
    if (connect(socket_handle, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0) return true;
    return WSAGetLastError() == WSAEWOULDBLOCK && wait_connected(socket_handle, deadline_ms);
}

// The name after EHLO or HELO: the PC's name when servers take it as a host name,
// else the address of this end of the connection. The host name passes through the
// shared buffer.
std::string own_greeting_name()
{
    sockaddr_in own = {};
    int length = sizeof own;
    getsockname(smtp_connection.socket_handle, reinterpret_cast<sockaddr*>(&own), &length);
    const char* host_name = gethostname(text_scratch, TEXT_SCRATCH_SIZE) == 0 ? text_scratch : "";
    return greeting_name(host_name, ntohl(own.sin_addr.s_addr));
}

// 0, or the text that names the refused step.
int authenticate(const Message& m)
{
    if (m.login.empty() || m.password.empty()) return delivered;
    if (!command(m, AUTH_LOGIN_LINE, false)) return IDS_SMTP_SEND_FAILED;
    if (!command(m, auth_line(m.login), false)) return IDS_SMTP_BAD_LOGIN;
    if (!command(m, auth_line(m.password), true)) return IDS_SMTP_BAD_LOGIN;
    return delivered;
}

// The plain conversation after the connect: delivered, or the text that names the
// first step the server did not accept. Nothing more is sent after a failure.
int converse(const Message& m)
{
    reply_reset(reply_reader);

    if (!accepted(m, true)) return IDS_SMTP_NO_CONNECTION;
    if (!command(m, helo_line(own_greeting_name()), true)) return IDS_SMTP_SEND_FAILED;
    if (const int refused = authenticate(m)) return refused;
    if (!command(m, mail_from_line(m.mailbox), true)) return IDS_SMTP_BAD_MAILBOX;
    if (!command(m, rcpt_to_line(m.recipient), true)) return IDS_SMTP_RECIPIENT_REFUSED;
    if (!command(m, DATA_LINE, false)) return IDS_SMTP_SEND_FAILED;
    stream_send(subject_line(m.subject));
    stream_send(stuffed_body(m.body));
    if (!command(m, END_OF_DATA, true)) return IDS_SMTP_SEND_FAILED;
    command(m, QUIT_LINE, false);
    return delivered;
}

// EHLO, or HELO when the server refuses EHLO.
bool greet(const Message& m)
{
    const std::string name = own_greeting_name();
    stream_send(ehlo_line(name));
    const ReplyClass reply = receive_reply(true, m.deadline_ms);
    if (reply == ReplyClass::Rejected) return command(m, helo_line(name), true);
    return reply == ReplyClass::Accepted;
}

// The submission after the greeting: the same steps and failures as the plain
// conversation, in the dialect and with the message that servers of today expect.
int submit_greeted(const Message& m)
{
    if (!greet(m)) return IDS_SMTP_SEND_FAILED;
    if (const int refused = authenticate(m)) return refused;
    if (!command(m, submission_mail_from_line(m.mailbox), true)) return IDS_SMTP_BAD_MAILBOX;
    if (!command(m, submission_rcpt_to_line(m.recipient), true)) return IDS_SMTP_RECIPIENT_REFUSED;
    if (!command(m, DATA_LINE, false)) return IDS_SMTP_SEND_FAILED;
    const MailDate date = local_mail_date();
    const std::string id = new_message_id(m.mailbox);
    const AnsiCharset charset = system_ansi_charset();
    stream_send(submission_message({m.mailbox, m.recipient, m.subject, m.body, date, id, charset}));
    if (!command(m, END_OF_SUBMISSION, true)) return IDS_SMTP_SEND_FAILED;
    command(m, QUIT_LINE, false);
    return delivered;
}

bool start_tls(const Message& m) { return stream_start_tls(smtp_connection.server_name.c_str(), m.deadline_ms); }

// TLS from the first byte (port 465).
int submit_over_tls(const Message& m)
{
    if (!start_tls(m)) return IDS_SMTP_NO_CONNECTION;
    reply_reset(reply_reader);
    if (!accepted(m, true)) return IDS_SMTP_NO_CONNECTION;
    return submit_greeted(m);
}

// Port 587: the greeting and EHLO in plain, STARTTLS, then the submission over TLS
// with the capabilities read afresh. A server that does not offer STARTTLS, or
// that sends anything after its go-ahead (it would be read as if it had come
// under TLS), is not talked to any further.
int submit_after_starttls(const Message& m)
{
    reply_reset(reply_reader);
    if (!accepted(m, true)) return IDS_SMTP_NO_CONNECTION;
    if (!greet(m)) return IDS_SMTP_SEND_FAILED;
    if (!receive_line_end(m.deadline_ms) || !reply_reader.offers_starttls) return IDS_SMTP_NO_CONNECTION;
    if (!command(m, STARTTLS_LINE, true)) return IDS_SMTP_NO_CONNECTION;
    if (!receive_line_end(m.deadline_ms) || !ring_is_empty(reply_reader) || stream_has_unread_bytes())
        return IDS_SMTP_NO_CONNECTION;
    if (!start_tls(m)) return IDS_SMTP_NO_CONNECTION;
    reply_reset(reply_reader);
    return submit_greeted(m);
}

// An address that holds a control byte could add a line of its own: refused
// before anything is sent, as the server would refuse it.
int refused_address(const Message& m)
{
    if (holds_control_byte(m.mailbox)) return IDS_SMTP_BAD_MAILBOX;
    if (holds_control_byte(m.recipient)) return IDS_SMTP_RECIPIENT_REFUSED;
    return delivered;
}

int deliver(const Message& m, std::int32_t port)
{
    if (const int refused = refused_address(m)) return refused;
    if (!connect_to_server(port, m.deadline_ms)) return IDS_SMTP_NO_CONNECTION;
    stream_open(smtp_connection.socket_handle);
    switch (port_security(port)) {
    case PortSecurity::ImplicitTls: return submit_over_tls(m);
    case PortSecurity::StartTls: return submit_after_starttls(m);
    case PortSecurity::Plain: break;
    }
    return converse(m);
}

void show_failure(HWND owner, int text, const Message& message)
{
    if (text == IDS_SMTP_BAD_MAILBOX)
        show_text_with_value(owner, text, message.mailbox.c_str());
    else if (text == IDS_SMTP_RECIPIENT_REFUSED)
        show_text_with_value(owner, text, message.recipient.c_str());
    else
        show_text(owner, text, MB_ICONERROR);
}

} // namespace

void smtp_dialogue(HWND owner, std::int32_t port, const std::string& login, const std::string& password,
                   const std::string& mailbox, const std::string& recipient, const std::string& subject,
                   const std::string& body, SendMode mode, std::uint64_t deadline_ms)
{
    const Message message{login, password, mailbox, recipient, subject, body, deadline_ms};
    const int outcome = deliver(message, port);
    stream_close();
    if (outcome != delivered && mode == SendMode::Interactive) show_failure(owner, outcome, message);
}
