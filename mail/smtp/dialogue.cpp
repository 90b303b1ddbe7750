#include "mail/smtp/dialogue.h"

#include "app/message_texts.h"
#include "app/resource.h"
#include "app/text_scratch.h"
#include "mail/smtp/connection.h"
#include "mail/smtp/receive_reply.h"
#include "mail/smtp/wire_lines.h"

namespace {

const int delivered = 0;

struct Message {
    const std::string& login;
    const std::string& password;
    const std::string& mailbox;
    const std::string& recipient;
    const std::string& subject;
    const std::string& body;
};

void send_all(const std::string& bytes)
{
    send(smtp_connection.socket_handle, bytes.data(), static_cast<int>(bytes.size()), 0);
}

bool accepted(bool strict) { return receive_reply(smtp_connection.socket_handle, strict) == ReplyClass::Accepted; }

bool command(const std::string& line, bool strict)
{
    send_all(line);
    return accepted(strict);
}

bool connect_to_server(std::int32_t port)
{
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(smtp_port_number(port));
    server.sin_addr.s_addr = smtp_connection.server_address;
    return connect(smtp_connection.socket_handle, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0;
}

std::string local_helo_line()
{
    const bool named = gethostname(text_scratch, TEXT_SCRATCH_SIZE) == 0;
    return helo_line(named ? text_scratch : nullptr);
}

// The conversation after the connect: delivered, or the text that names the first
// step the server did not accept. Nothing more is sent after a failure.
int converse(const Message& message)
{
    u_long non_blocking = 1;
    ioctlsocket(smtp_connection.socket_handle, FIONBIO, &non_blocking);
    reply_reset(reply_reader);

    if (!accepted(true)) return IDS_SMTP_NO_CONNECTION;
    if (!command(local_helo_line(), true)) return IDS_SMTP_SEND_FAILED;
    if (!message.login.empty() && !message.password.empty()) {
        if (!command(AUTH_LOGIN_LINE, false)) return IDS_SMTP_SEND_FAILED;
        if (!command(auth_line(message.login), false)) return IDS_SMTP_BAD_LOGIN;
        if (!command(auth_line(message.password), true)) return IDS_SMTP_BAD_LOGIN;
    }
    if (!command(mail_from_line(message.mailbox), true)) return IDS_SMTP_BAD_MAILBOX;
    if (!command(rcpt_to_line(message.recipient), true)) return IDS_SMTP_RECIPIENT_REFUSED;
    if (!command(DATA_LINE, false)) return IDS_SMTP_SEND_FAILED;
    send_all(subject_line(message.subject));
    send_all(stuffed_body(message.body));
    if (!command(END_OF_DATA, true)) return IDS_SMTP_SEND_FAILED;
    command(QUIT_LINE, false);
    return delivered;
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
                   const std::string& body, SendMode mode)
{
    const Message message{login, password, mailbox, recipient, subject, body};
    const int outcome = connect_to_server(port) ? converse(message) : IDS_SMTP_NO_CONNECTION;
    if (outcome != delivered && mode == SendMode::Interactive) show_failure(owner, outcome, message);
}
