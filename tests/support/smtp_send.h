// One whole SMTP send as the notification control makes it: prepare, the dialogue
// over the prepared socket, release.
#ifndef TULVO_TEST_SMTP_SEND_H
#define TULVO_TEST_SMTP_SEND_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "mail/send_mode.h"

// What the dialogue is given of the mail settings, as a test varies it.
struct Letter {
    std::string login = "user";
    std::string password = "secret";
    std::string mailbox = "me@example.org";
    std::string recipient = "boss@example.org";
    std::string subject = "Shutdown";
    std::string body = "The PC goes off now.";
};

// False when the preparation failed (and showed why), so that nothing was sent.
bool send_letter(const char* server, std::int32_t port, const Letter& letter, SendMode mode, HWND owner,
                 std::uint64_t deadline_ms);

#endif
