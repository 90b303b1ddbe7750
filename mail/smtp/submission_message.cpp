#include "mail/smtp/submission_message.h"

#include "mail/smtp/subject_header.h"
#include "settings/base64.h"

namespace {

const char* const line_end = "\r\n";
// Base64 body lines: 57 bytes make 76 characters, the longest MIME allows.
const std::size_t bytes_per_body_line = 57;

std::string base64_lines(const std::string& bytes)
{
    std::string lines;
    char encoded[80];
    for (std::size_t at = 0; at < bytes.size(); at += bytes_per_body_line) {
        const std::size_t length = bytes.size() - at < bytes_per_body_line ? bytes.size() - at : bytes_per_body_line;
        const std::size_t written =
            base64_encode(reinterpret_cast<const unsigned char*>(bytes.data() + at), length, encoded);
        lines.append(encoded, written);
        lines += line_end;
    }
    return lines;
}

// Lower-case hexadecimal digits, no leading zeros.
std::string hex_text(std::uint64_t value)
{
    std::string text;
    do text.insert(text.begin(), "0123456789abcdef"[value % 16]);
    while ((value /= 16) != 0);
    return text;
}

} // namespace

std::string angle_address(const std::string& text)
{
    const std::size_t open = text.find('<');
    const std::size_t close = open == std::string::npos ? open : text.find('>', open);
    if (close != std::string::npos) return text.substr(open, close - open + 1);
    return "<" + text + ">";
}

std::string message_id(std::uint64_t time_stamp, std::uint32_t ticks, std::uint32_t random,
                       const std::string& mailbox)
{
    const std::string address = angle_address(mailbox);
    const std::size_t at = address.rfind('@');
    std::string domain = at == std::string::npos ? "" : address.substr(at + 1, address.size() - at - 2);
    if (domain.empty()) domain = "localhost";
    return "<" + hex_text(time_stamp) + "." + hex_text(ticks) + "." + hex_text(random) + "@" + domain + ">";
}

std::string submission_message(const SubmissionMessage& m)
{
    std::string text;
    text += "From: " + angle_address(m.mailbox) + line_end;
    text += "To: " + angle_address(m.recipient) + line_end;
    text += subject_header(m.subject, m.charset);
    text += "Date: " + mail_date(m.date) + line_end;
    text += "Message-ID: " + m.message_id + line_end;
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=" + m.charset.name + line_end;
    text += "Content-Transfer-Encoding: base64\r\n";
    text += line_end;
    return text + base64_lines(m.body);
}
