// The firing sequence: the settings saved, the optional silent notification, then
// the forced power-off, reboot or log-off request and the end of the dialog loop.
// The request follows within 50 s of the start, whatever the mail transport does;
// a request Windows refuses is made once more (the watch's, when the send returns).
#ifndef TULVO_FIRING_H
#define TULVO_FIRING_H

enum class ShutdownAction { PowerOff = 0, Reboot = 1, LogOff = 2 };

// What the window holds at the moment of firing.
struct FiringChoices {
    ShutdownAction action;
    bool send_message;
    bool use_mapi;
};

// Runs the whole sequence, the action requested forced (flags 12, 6 or 4) and as
// planned; shows nothing. True when Windows took the request: the quit message is
// posted. False when Windows refused it twice: nothing more happens, and the
// caller must say so.
bool fire(const FiringChoices& choices);

// True while a firing's request is made or taken: then the settings file is not
// written again, since Windows may end the process in the middle of a write.
bool shutdown_requested();

#endif
