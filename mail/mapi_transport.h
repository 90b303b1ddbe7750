// Delivery through the system's Simple MAPI mail client, loaded from "mapi32.dll"
// in the system folder each time the transport is prepared.
#ifndef TULVO_MAPI_TRANSPORT_H
#define TULVO_MAPI_TRANSPORT_H

#include <windows.h>

#include <string>

#include "mail/send_mode.h"

// 0: library loaded, session open, recipient resolved. -1: failed, already shown;
// or refused unseen while another preparation is under way or a session is held.
int mapi_prepare(HWND owner, const std::string& recipient);

// Sends through the prepared session; a failure is shown only in interactive mode.
// A session the mail client no longer knows (it was restarted since the logon) gets
// one fresh logon and one more send. Does nothing unless the session is ready
// (prepared, and no other call into the mail client under way).
void mapi_send(HWND owner, const std::string& subject, const std::string& body, SendMode mode);

// Frees the recipient, logs off and unloads the library; does nothing unless the
// session is ready.
void mapi_release();

#endif
