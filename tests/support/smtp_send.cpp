#include "tests/support/smtp_send.h"

#include "mail/smtp/connection.h"
#include "mail/smtp/dialogue.h"

bool send_letter(const char* server, std::int32_t port, const Letter& letter, SendMode mode, HWND owner,
                 std::uint64_t deadline_ms)
{
    if (smtp_prepare(owner, server) != 0) return false;
    smtp_dialogue(owner, port, letter.login, letter.password, letter.mailbox, letter.recipient, letter.subject,
                  letter.body, mode, deadline_ms);
    smtp_release();
    return true;
}
