// The message the program submits over TLS, as a mail server of today expects it:
// From, To, Subject, Date, Message-ID and MIME header lines, an empty line, and the
// body in base64; with the pieces it is made of: the ANSI code page as a mail
// charset, the Date header's value and the encoded Subject. Plain values in,
// bytes out.
#ifndef TULVO_SMTP_SUBMISSION_MESSAGE_H
#define TULVO_SMTP_SUBMISSION_MESSAGE_H

#include <cstdint>
#include <string>

#include "text/ansi_text.h"

// The system's ANSI code page as a mail charset: its name for the Content-Type and
// encoded words, and its characters' bytes. Plain values in and out.
struct AnsiCharset {
    std::string name; // e.g. "windows-1251"
    AnsiCodePage page;
};

// The MIME name of an ANSI code page; "windows-" and the number for one it does not know.
std::string charset_name(unsigned code_page);

// The Date header's value (RFC 5322): local time with its offset from UTC, as in
// "Tue, 05 Mar 2024 14:07:09 +0300". Plain values in, text out.
struct MailDate {
    int year;
    int month;       // 1-12
    int day;         // 1-31
    int day_of_week; // 0 Sunday - 6 Saturday
    int hour;
    int minute;
    int second;
    int utc_offset_minutes; // local time minus UTC: +180 in Moscow, -300 in New York in winter
};

std::string mail_date(const MailDate& date);

// The Subject header line of a submitted message: the text as typed when it is
// printable ASCII, otherwise RFC 2047 encoded words ("=?charset?B?...?=") in the
// ANSI code page's charset, folded so that no line passes 76 characters and no
// character is split between two words.
// "Subject: ..." with its CR LF (and the CR LF of every folded line).
std::string subject_header(const std::string& subject, const AnsiCharset& charset);

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
std::string message_id(std::uint64_t time_stamp, std::uint32_t ticks, std::uint32_t random, const std::string& mailbox);

// The whole message up to, not including, the end-of-data line; it ends with CR LF
// and none of its lines begins with ".", so it needs no dot-stuffing.
std::string submission_message(const SubmissionMessage& message);

#endif
