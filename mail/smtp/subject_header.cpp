#include "mail/smtp/subject_header.h"

#include "settings/base64.h"

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
    std::string encoded((bytes.size() + 2) / 3 * 4, '\0');
    base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &encoded[0]);
    return "=?" + charset_name + "?B?" + encoded + "?=";
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
