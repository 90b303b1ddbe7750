#include "mail/smtp/submission_message.h"

#include "settings/base64.h"
#include "settings/value_rules.h"
#include "text/decimal_text.h"

namespace {

struct NamedPage {
    unsigned code_page;
    const char* name;
};

// Every ANSI code page Windows uses; the single-byte windows-125x pages are named
// by the fallback.
const NamedPage named_pages[] = {
    {874, "windows-874"}, {932, "Shift_JIS"}, {936, "GBK"}, {949, "EUC-KR"}, {950, "Big5"}, {65001, "utf-8"},
};

} // namespace

std::string charset_name(unsigned code_page)
{
    for (const NamedPage& page : named_pages)
        if (page.code_page == code_page) return page.name;
    return "windows-" + decimal_text(code_page);
}

namespace {

const char* const day_names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const month_names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A number of at least width digits, leading zeros added.
std::string digits(int value, std::size_t width)
{
    const std::string text = decimal_text(value);
    return text.size() < width ? std::string(width - text.size(), '0') + text : text;
}

} // namespace

std::string mail_date(const MailDate& date)
{
    const int offset = date.utc_offset_minutes < 0 ? -date.utc_offset_minutes : date.utc_offset_minutes;
    return std::string(day_names[date.day_of_week % 7]) + ", " + digits(date.day, 2) + " " +
           month_names[(date.month + 11) % 12] + " " + digits(date.year, 4) + " " + digits(date.hour, 2) + ":" +
           digits(date.minute, 2) + ":" + digits(date.second, 2) + " " + (date.utc_offset_minutes < 0 ? '-' : '+') +
           digits(offset / 60, 2) + digits(offset % 60, 2);
}

namespace {

const char* const field = "Subject:";
const char* const fold = "\r\n ";
// A word on the field's first line follows "Subject: ", so every word is kept to
// this, and every line stays within 76 characters.
const std::size_t longest_word = 66;

// Printable ASCII without "=?", which a reader would take for the start of a word.
bool plain(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte > 0x7E) return false;
        if (byte == '=' && i + 1 < text.size() && text[i + 1] == '?') return false;
    }
    return true;
}

std::string encoded_word(const std::string& charset_name, const std::string& bytes)
{
    return "=?" + charset_name + "?B?" + base64_of_text(bytes) + "?=";
}

} // namespace

std::string subject_header(const std::string& subject, const AnsiCharset& charset)
{
    if (subject.empty()) return std::string(field) + "\r\n";
    if (plain(subject)) return std::string(field) + " " + subject + "\r\n";

    const std::size_t frame = charset.name.size() + 7; // "=?" name "?B?" ... "?="
    const std::size_t bytes_per_word = (longest_word - frame) / 4 * 3;
    std::string header = field;
    std::size_t at = 0;
    while (at < subject.size()) {
        std::size_t end = at;
        for (;;) {
            const std::size_t next = end + character_length(subject, end, charset.page);
            // A character longer than a whole word still goes out, alone.
            if (next - at > bytes_per_word && end > at) break;
            end = next;
            if (end == subject.size()) break;
        }
        header += at == 0 ? " " : fold;
        header += encoded_word(charset.name, subject.substr(at, end - at));
        at = end;
    }
    return header + "\r\n";
}

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

std::string message_id(std::uint64_t time_stamp, std::uint32_t ticks, std::uint32_t random, const std::string& mailbox)
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
