// The lines the SMTP client puts on the wire, each complete with its CR LF. On a
// plain port texts go out as stored, without angle brackets, and the body
// dot-stuffed; a submission over TLS (ports 465 and 587) says EHLO and puts the
// addresses in brackets.
#ifndef TULVO_SMTP_WIRE_LINES_H
#define TULVO_SMTP_WIRE_LINES_H

#include <cstdint>
#include <string>

extern const char* const AUTH_LOGIN_LINE;
extern const char* const DATA_LINE;
extern const char* const END_OF_DATA;
extern const char* const QUIT_LINE;
extern const char* const STARTTLS_LINE;
// Ends a submitted message, which itself ends with CR LF.
extern const char* const END_OF_SUBMISSION;

// The TCP port a port setting stands for: its low 16 bits.
std::uint16_t smtp_port_number(std::int32_t port_setting);

// Port 465: TLS from the first byte (SMTPS). Port 587: STARTTLS, always; no
// submission there goes out in plain. Either speaks the submission dialect; every
// other port the plain conversation.
enum class PortSecurity { Plain, ImplicitTls, StartTls };
PortSecurity port_security(std::int32_t port_setting);

// A byte below 0x20 or 0x7F: in an address it would end the line or hide in it.
bool holds_control_byte(const std::string& text);

// What a client names itself after EHLO or HELO: host_name when it is a host name
// every server takes (labels of letters, digits and inner hyphens, joined by dots,
// 255 characters at most), else the address literal of the connection's own end,
// e.g. "[192.168.1.20]" (own_address in host byte order). Servers refuse a name
// such as "USER-ПК", the default of Russian Windows 7, or "MY_PC".
std::string greeting_name(const std::string& host_name, std::uint32_t own_address);

std::string helo_line(const std::string& greeting_name);
std::string ehlo_line(const std::string& greeting_name);
// Base64 of the whole value, for the AUTH LOGIN user name and password.
std::string auth_line(const std::string& value);
std::string mail_from_line(const std::string& mailbox);
std::string rcpt_to_line(const std::string& recipient);
std::string submission_mail_from_line(const std::string& mailbox);
std::string submission_rcpt_to_line(const std::string& recipient);
std::string subject_line(const std::string& subject);

// The body with SMTP transparency: a "." before every line that begins with "."
// (the body's first line included; lines end with CR LF). Nothing else changes.
std::string stuffed_body(const std::string& body);

#endif
