#include "scheduler/firing.h"

#include <windows.h>

#include <reason.h>

#include "mail/notification.h"
#include "platform/system_calls.h"
#include "settings/settings_file.h"

namespace {

// How often the watch over a send looks at the clock, which may jump (sleep, a
// test's clock).
const DWORD watch_step_ms = 250;

// Logged by Windows as a planned shutdown; a reason of 0 counts as unplanned and
// may be delayed to capture the system's state.
const unsigned planned_reason = SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;

unsigned forced_flags(ShutdownAction action)
{
    switch (action) {
    case ShutdownAction::Reboot: return EWX_REBOOT | EWX_FORCE;
    case ShutdownAction::LogOff: return EWX_LOGOFF | EWX_FORCE;
    case ShutdownAction::PowerOff: break;
    }
    return EWX_POWEROFF | EWX_FORCE;
}

// Set just before the first request; read by the window's thread while the watch
// may be making it.
volatile LONG requested = 0;

// True when Windows took the request.
bool make_request(unsigned flags)
{
    InterlockedExchange(&requested, 1);
    return system_shutdown_request(flags, planned_reason);
}

// Windows may refuse for a passing reason: asked once more before giving up.
bool make_request_twice(unsigned flags) { return make_request(flags) || make_request(flags); }

// The request of the firing under way, made once: by the window's thread when the
// send returns, or by the watch when it has not returned by the deadline. A watch's
// request that Windows refused is made once more when the send returns.
struct PendingRequest {
    unsigned flags;
    std::uint64_t deadline_ms;
    HANDLE send_returned;
    volatile LONG made;
    bool refused; // written by the watch, read after it has ended
};

DWORD WINAPI watch_send(void* parameter)
{
    PendingRequest& request = *static_cast<PendingRequest*>(parameter);
    for (;;) {
        const std::uint64_t now = system_milliseconds();
        if (now >= request.deadline_ms) break;
        const std::uint64_t left = request.deadline_ms - now;
        if (WaitForSingleObject(request.send_returned,
                                left < watch_step_ms ? static_cast<DWORD>(left) : watch_step_ms) == WAIT_OBJECT_0)
            return 0;
    }
    if (InterlockedExchange(&request.made, 1) == 0) request.refused = !make_request(request.flags);
    return 0;
}

// A mail client may not return at all (it can be asking a user who is not there),
// so the send runs under a watch that makes the request at the deadline.
void send_under_watch(bool use_mapi, PendingRequest& request)
{
    request.send_returned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE watch = request.send_returned ? CreateThread(nullptr, 0, watch_send, &request, 0, nullptr) : nullptr;
    send_before_shutdown(use_mapi, request.deadline_ms);
    if (watch) {
        SetEvent(request.send_returned);
        WaitForSingleObject(watch, INFINITE);
        CloseHandle(watch);
    }
    if (request.send_returned) CloseHandle(request.send_returned);
}

} // namespace

bool shutdown_requested() { return requested != 0; }

bool fire(const FiringChoices& choices)
{
    const unsigned flags = forced_flags(choices.action);
    // A forced end of the session, or a send that never returns, must not cost
    // what the user typed: the settings are saved first.
    save_settings();
    bool taken = true;
    if (!choices.send_message) {
        taken = make_request_twice(flags);
    } else {
        PendingRequest request{flags, system_milliseconds() + MAIL_SEND_LIMIT_MS, nullptr, 0, false};
        send_under_watch(choices.use_mapi, request);
        // A watch's refused request was the first try.
        if (InterlockedExchange(&request.made, 1) == 0)
            taken = make_request_twice(flags);
        else if (request.refused)
            taken = make_request(flags);
    }
    if (taken)
        PostQuitMessage(0);
    else
        InterlockedExchange(&requested, 0); // nothing is under way: the settings may be written again
    return taken;
}
