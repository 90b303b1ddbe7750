// What a submitted message takes from the system: the local time with its offset
// from UTC, the ANSI code page as a charset, and a Message-ID of its own.
#ifndef TULVO_SMTP_MESSAGE_STAMPS_H
#define TULVO_SMTP_MESSAGE_STAMPS_H

#include <string>

#include "mail/smtp/submission_message.h"

MailDate local_mail_date();
AnsiCharset system_ansi_charset();
std::string new_message_id(const std::string& mailbox);

#endif
