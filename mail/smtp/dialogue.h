// The program's own SMTP client: one linear conversation over the prepared socket.
#ifndef TULVO_SMTP_DIALOGUE_H
#define TULVO_SMTP_DIALOGUE_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "mail/send_mode.h"

// Connects the socket prepared by smtp_prepare and delivers one message: over TLS
// on port 465 from the first byte and on port 587 after STARTTLS, as a standard
// submission (EHLO, addresses in angle brackets, a MIME message with From, To,
// Date and an encoded Subject); on any other port the plain conversation, the body
// dot-stuffed and everything else as stored. A failed TLS handshake or certificate,
// and a server on 587 that offers no STARTTLS, are a failed connect. A sender or
// recipient holding a control byte is refused before connecting, as a server
// would refuse it. In interactive mode the first failure is shown (owned by
// owner); in silent mode nothing is. The connect and every wait (the TLS
// handshake's too) end by deadline_ms (on the system_milliseconds clock) at the
// latest, a step still under way then counting as failed. The socket is left for
// smtp_release, whatever happened.
void smtp_dialogue(HWND owner, std::int32_t port, const std::string& login, const std::string& password,
                   const std::string& mailbox, const std::string& recipient, const std::string& subject,
                   const std::string& body, SendMode mode, std::uint64_t deadline_ms);

#endif
