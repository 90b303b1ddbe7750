#include "mail/smtp/wire_lines.h"

#include "mail/smtp/submission_message.h"
#include "settings/base64.h"

const char* const AUTH_LOGIN_LINE = "AUTH LOGIN\r\n";
const char* const DATA_LINE = "DATA\r\n";
const char* const END_OF_DATA = "\r\n.\r\n";
const char* const QUIT_LINE = "QUIT\r\n";
const char* const STARTTLS_LINE = "STARTTLS\r\n";
const char* const END_OF_SUBMISSION = ".\r\n";

namespace {

const char* const line_end = "\r\n";
const char* const fallback_host_name = "localhost";
const std::uint16_t smtps_port = 465;
const std::uint16_t submission_port = 587;
const unsigned char first_printable = 0x20;
const unsigned char delete_byte = 0x7F;

std::string greeting_line(const char* verb, const char* host_name)
{
    const bool known = host_name != nullptr && host_name[0] != '\0';
    return std::string(verb) + (known ? host_name : fallback_host_name) + line_end;
}

} // namespace

std::uint16_t smtp_port_number(std::int32_t port_setting)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(port_setting) & 0xFFFFu);
}

PortSecurity port_security(std::int32_t port_setting)
{
    switch (smtp_port_number(port_setting)) {
    case smtps_port: return PortSecurity::ImplicitTls;
    case submission_port: return PortSecurity::StartTls;
    default: return PortSecurity::Plain;
    }
}

bool holds_control_byte(const std::string& text)
{
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < first_printable || byte == delete_byte) return true;
    }
    return false;
}

std::string helo_line(const char* host_name) { return greeting_line("HELO ", host_name); }

std::string ehlo_line(const char* host_name) { return greeting_line("EHLO ", host_name); }

std::string auth_line(const std::string& value) { return base64_of_text(value) + line_end; }

std::string mail_from_line(const std::string& mailbox) { return "MAIL FROM:" + mailbox + line_end; }

std::string rcpt_to_line(const std::string& recipient) { return "RCPT TO:" + recipient + line_end; }

std::string submission_mail_from_line(const std::string& mailbox)
{
    return "MAIL FROM:" + angle_address(mailbox) + line_end;
}

std::string submission_rcpt_to_line(const std::string& recipient)
{
    return "RCPT TO:" + angle_address(recipient) + line_end;
}

std::string subject_line(const std::string& subject) { return "Subject:" + subject + line_end; }

std::string stuffed_body(const std::string& body)
{
    std::string stuffed;
    stuffed.reserve(body.size() + body.size() / 8 + 1);
    bool line_start = true;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (line_start && body[i] == '.') stuffed += '.';
        stuffed += body[i];
        line_start = body[i] == '\n' && i > 0 && body[i - 1] == '\r';
    }
    return stuffed;
}
