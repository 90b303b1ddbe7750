#include "mail/notification.h"

#include "mail/mapi_transport.h"
#include "mail/notification_phase.h"
#include "mail/smtp/connection.h"
#include "mail/smtp/dialogue.h"
#include "platform/system_calls.h"
#include "settings/mail_settings.h"

namespace {

// Not armed, nothing shown: another operation was under way, or the arming was
// withdrawn (disarmed, or the schedule fired) while it was preparing.
const int ARMING_REFUSED = 1;

NotificationPhase phase = NotificationPhase::Disarmed;

int prepare(HWND owner, bool use_mapi)
{
    if (use_mapi) return mapi_prepare(owner, mail_settings.recipient);
    return smtp_prepare(owner, mail_settings.smtp_server.c_str());
}

void send(HWND owner, bool use_mapi, SendMode mode, std::uint64_t deadline_ms)
{
    const MailSettings& m = mail_settings;
    if (use_mapi)
        mapi_send(owner, m.subject, m.body, mode);
    else
        smtp_dialogue(owner, m.smtp_port, m.smtp_login, m.smtp_password, m.sender_mailbox, m.recipient, m.subject,
                      m.body, mode, deadline_ms);
}

void release(bool use_mapi)
{
    if (use_mapi)
        mapi_release();
    else
        smtp_release();
}

// The end of an arming: the silent send (when asked) and the release, but only of
// a transport that is armed; an arming still preparing is told to let go instead.
void withdraw(bool use_mapi, bool send_first, std::uint64_t deadline_ms)
{
    switch (withdrawal(phase)) {
    case Withdrawal::UseTransport:
        phase = NotificationPhase::Releasing;
        if (send_first) send(nullptr, use_mapi, SendMode::Silent, deadline_ms);
        release(use_mapi);
        phase = NotificationPhase::Disarmed;
        break;
    case Withdrawal::WithdrawArming: phase = NotificationPhase::ArmingWithdrawn; break;
    case Withdrawal::Nothing: break;
    }
}

} // namespace

int arm_notification(HWND owner, bool use_mapi)
{
    if (!may_prepare(phase)) return ARMING_REFUSED;
    phase = NotificationPhase::Arming;
    const int result = prepare(owner, use_mapi);
    const ArmingOutcome outcome = finish_arming(phase, result == 0);
    if (outcome.release_now) {
        phase = NotificationPhase::Releasing;
        release(use_mapi);
    }
    phase = outcome.next;
    if (outcome.armed) return 0;
    return result != 0 ? result : ARMING_REFUSED;
}

void disarm_notification(bool use_mapi) { withdraw(use_mapi, false, 0); }

void test_send(HWND owner, bool use_mapi)
{
    if (!may_prepare(phase)) return;
    phase = NotificationPhase::Testing;
    if (prepare(owner, use_mapi) == 0) {
        send(owner, use_mapi, SendMode::Interactive, system_milliseconds() + MAIL_SEND_LIMIT_MS);
        release(use_mapi);
    }
    phase = NotificationPhase::Disarmed;
}

void send_before_shutdown(bool use_mapi, std::uint64_t deadline_ms) { withdraw(use_mapi, true, deadline_ms); }
