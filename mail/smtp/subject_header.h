// The Subject header line of a submitted message: the text as typed when it is
// printable ASCII, otherwise RFC 2047 encoded words ("=?charset?B?...?=") in the
// ANSI code page's charset, folded so that no line passes 76 characters and no
// character is split between two words.
#ifndef TULVO_SMTP_SUBJECT_HEADER_H
#define TULVO_SMTP_SUBJECT_HEADER_H

#include <string>

#include "mail/smtp/ansi_charset.h"

// "Subject: ..." with its CR LF (and the CR LF of every folded line).
std::string subject_header(const std::string& subject, const AnsiCharset& charset);

#endif
