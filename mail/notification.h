// The front of the mail notification: arming, disarming and test sending on the
// mail tab, and the silent send just before the shutdown request.
#ifndef TULVO_NOTIFICATION_H
#define TULVO_NOTIFICATION_H

#include <windows.h>

// Prepares the chosen transport. 0: armed; nonzero: not armed, the failure was shown.
int arm_notification(HWND owner, bool use_mapi);

// Releases the transport prepared by arm_notification.
void disarm_notification(bool use_mapi);

// Prepares, sends interactively and releases; only failures are shown.
void test_send(HWND owner, bool use_mapi);

// Sends silently over the transport prepared at arming, then releases it.
void send_before_shutdown(bool use_mapi);

#endif
