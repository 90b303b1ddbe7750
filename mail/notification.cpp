#include "mail/notification.h"

// Placeholder until the transports land.
int arm_notification(HWND, bool) { return -1; }
void disarm_notification(bool) {}
void test_send(HWND, bool) {}
void send_before_shutdown(bool) {}
