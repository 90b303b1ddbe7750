// The message the program submits over TLS, as a mail server of today expects it:
// From, To, Subject, Date, Message-ID and MIME header lines, an empty line, and the
// body in base64. Plain values in, bytes out.
#ifndef TULVO_SMTP_SUBMISSION_MESSAGE_H
#define TULVO_SMTP_SUBMISSION_MESSAGE_H

#include <cstdint>
#include <string>

#include "mail/smtp/ansi_charset.h"
#include "mail/smtp/mail_date.h"

struct SubmissionMessage {
    const std::string& mailbox;
    const std::string& recipient;
    const std::string& subject;
    const std::string& body;
    const MailDate& date;
    const std::string& message_id; // with its angle brackets
    const AnsiCharset& charset;
};

// The address as SMTP and the address headers want it: the text's own "<...>" when
// it has one (so "Ivan <ivan@example.org>" gives "<ivan@example.org>"), otherwise
// the whole text within angle brackets.
std::string angle_address(const std::string& text);

// "<" unique part "@" domain ">": the unique part from the time, the tick count and
// a random value; the domain from the mailbox, or "localhost" when it has none.
std::string message_id(std::uint64_t time_stamp, std::uint32_t ticks, std::uint32_t random,
                       const std::string& mailbox);

// The whole message up to, not including, the end-of-data line; it ends with CR LF
// and none of its lines begins with ".", so it needs no dot-stuffing.
std::string submission_message(const SubmissionMessage& message);

#endif
