// The firing sequence: the settings saved, the optional silent notification, then
// the forced power-off, reboot or log-off request and the end of the dialog loop.
// The request follows within 50 s of the start, whatever the mail transport does;
// a request the watch made and Windows refused is made again when the send returns.
#ifndef TULVO_FIRING_H
#define TULVO_FIRING_H

enum ShutdownAction { ACTION_POWER_OFF = 0, ACTION_REBOOT = 1, ACTION_LOG_OFF = 2 };

// The main window's choices as they stand at the moment of firing.
struct FiringChoices {
    bool power_off_checked;
    bool reboot_checked;
    bool send_message;
    bool use_mapi;
};

int action_code(const FiringChoices& choices);

// Requests the action forced (flags 12, 6 or 4), as planned, and posts the quit message.
void request_shutdown(int code);

// Runs the whole sequence; shows nothing and returns nothing.
void fire(const FiringChoices& choices);

// True once a firing has made its request, whether Windows took it or not: from
// then on the settings file is not written again, since Windows may end the
// process in the middle of a write.
bool shutdown_requested();

#endif
