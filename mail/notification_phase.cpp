#include "mail/notification_phase.h"

bool may_prepare(NotificationPhase phase) { return phase == NotificationPhase::Disarmed; }

ArmingOutcome finish_arming(NotificationPhase during, bool prepared)
{
    if (prepared && during == NotificationPhase::Arming) return {NotificationPhase::Armed, false, true};
    return {NotificationPhase::Disarmed, prepared, false};
}

Withdrawal withdrawal(NotificationPhase phase)
{
    switch (phase) {
    case NotificationPhase::Armed: return Withdrawal::UseTransport;
    case NotificationPhase::Arming: return Withdrawal::WithdrawArming;
    default: return Withdrawal::Nothing;
    }
}
