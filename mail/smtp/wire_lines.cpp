#include "mail/smtp/wire_lines.h"

#include "mail/smtp/submission_message.h"
#include "settings/base64.h"
#include "settings/value_rules.h"
#include "text/decimal_text.h"

const char* const AUTH_LOGIN_LINE = "AUTH LOGIN\r\n";
const char* const DATA_LINE = "DATA\r\n";
const char* const END_OF_DATA = "\r\n.\r\n";
const char* const QUIT_LINE = "QUIT\r\n";
const char* const STARTTLS_LINE = "STARTTLS\r\n";
const char* const END_OF_SUBMISSION = ".\r\n";

namespace {

const char* const line_end = "\r\n";
const std::size_t longest_host_name = 255;
const std::size_t longest_label = 63;
const std::uint16_t smtps_port = 465;
const std::uint16_t submission_port = 587;
const unsigned char first_printable = 0x20;
const unsigned char delete_byte = 0x7F;

bool letter_or_digit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool valid_label(const std::string& label)
{
    if (label.empty() || label.size() > longest_label || label.front() == '-' || label.back() == '-') return false;
    for (const char c : label)
        if (!letter_or_digit(c) && c != '-') return false;
    return true;
}

bool valid_host_name(const std::string& name)
{
    if (name.empty() || name.size() > longest_host_name) return false;
    for (std::size_t start = 0;;) {
        const std::size_t dot = name.find('.', start);
        if (!valid_label(name.substr(start, dot - start))) return false;
        if (dot == std::string::npos) return true;
        start = dot + 1;
    }
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

std::string greeting_name(const std::string& host_name, std::uint32_t own_address)
{
    if (valid_host_name(host_name)) return host_name;
    std::string literal = "[";
    for (int shift = 24; shift >= 0; shift -= 8) {
        literal += decimal_text((own_address >> shift) & 0xFFu);
        literal += shift > 0 ? "." : "]";
    }
    return literal;
}

std::string helo_line(const std::string& greeting_name) { return "HELO " + greeting_name + line_end; }

std::string ehlo_line(const std::string& greeting_name) { return "EHLO " + greeting_name + line_end; }

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
