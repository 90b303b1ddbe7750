// What the notification control is doing. Message boxes and the mail client's
// logon window run nested loops in which the main window's timer and commands are
// still served, so an operation can be asked for while another one is under way.
#ifndef TULVO_NOTIFICATION_PHASE_H
#define TULVO_NOTIFICATION_PHASE_H

enum class NotificationPhase {
    Disarmed,        // nothing prepared, nothing under way
    Arming,          // an arming is preparing its transport
    ArmingWithdrawn, // an arming is preparing, but a disarm or the firing came meanwhile
    Armed,           // the transport chosen at arming is ready
    Testing,         // a test send is under way
    Releasing,       // the armed transport is sending before shutdown or being released
};

// An arming or a test send may start only when nothing is prepared or under way.
bool may_prepare(NotificationPhase phase);

struct ArmingOutcome {
    NotificationPhase next;
    bool release_now; // the preparation succeeded but the arming was withdrawn meanwhile
    bool armed;
};

// Where an arming ends, given the phase found when its preparation returned.
ArmingOutcome finish_arming(NotificationPhase during, bool prepared);

enum class Withdrawal {
    UseTransport,   // armed: send and/or release the prepared transport
    WithdrawArming, // the arming under way releases what it prepares
    Nothing,        // nothing is held for this request
};

// What a disarm or the send before shutdown may do in the phase it finds.
Withdrawal withdrawal(NotificationPhase phase);

#endif
