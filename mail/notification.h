// The front of the mail notification: arming, disarming and test sending on the
// mail tab, and the silent send just before the shutdown request.
#ifndef TULVO_NOTIFICATION_H
#define TULVO_NOTIFICATION_H

#include <windows.h>

#include <cstdint>

// A send gets this long: before the shutdown request, which follows by then
// whatever the transport does, and as a test. Each reply within it may take up
// to SERVER_SILENCE_LIMIT_MS.
constexpr std::uint64_t MAIL_SEND_LIMIT_MS = 50000;

// Prepares the chosen transport. 0: armed. Negative: not armed, the transport's
// failure was shown. Positive: not armed, nothing shown, because another mail
// operation was under way or the arming was disarmed or fired while it prepared.
int arm_notification(HWND owner, bool use_mapi);

// Releases the transport prepared by arm_notification. During that arming's
// preparation it makes the arming let go of its transport and fail instead.
void disarm_notification(bool use_mapi);

// Prepares, sends interactively and releases; only failures are shown. Does
// nothing while armed or while another mail operation is under way. An SMTP
// conversation gives up after MAIL_SEND_LIMIT_MS.
void test_send(HWND owner, bool use_mapi);

// Sends silently over the transport prepared at arming, then releases it. Sends
// and releases nothing unless armed and ready; during an arming it withdraws it
// as disarm_notification does. An SMTP conversation ends by deadline_ms (on the
// system_milliseconds clock); a mail client's call cannot be cut short.
void send_before_shutdown(bool use_mapi, std::uint64_t deadline_ms);

#endif
