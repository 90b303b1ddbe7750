// The mail notification's nine settings, one process-wide record. Text fields are
// 8-bit strings of the ANSI code page; everything starts empty (port 0, flag false).
#ifndef TULVO_MAIL_SETTINGS_H
#define TULVO_MAIL_SETTINGS_H

#include <cstddef>
#include <cstdint>
#include <string>

// The most characters a text field takes from a dialog and keeps from the file.
constexpr std::size_t MAIL_FIELD_LIMIT = 99;

struct MailSettings {
    bool use_mapi = false;
    std::string recipient;
    std::string subject;
    std::string body;
    std::string smtp_server;
    std::int32_t smtp_port = 0;
    std::string sender_mailbox;
    std::string smtp_login;
    std::string smtp_password;
};

extern MailSettings mail_settings;

#endif
