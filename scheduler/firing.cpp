#include "scheduler/firing.h"

#include <windows.h>

#include "mail/notification.h"
#include "scheduler/system_request.h"
#include "settings/settings_file.h"

int action_code(const FiringChoices& choices)
{
    if (choices.power_off_checked) return ACTION_POWER_OFF;
    if (choices.reboot_checked) return ACTION_REBOOT;
    return ACTION_LOG_OFF;
}

void request_shutdown(int code)
{
    static const unsigned flags_by_action[] = {
        EWX_POWEROFF | EWX_FORCE,
        EWX_REBOOT | EWX_FORCE,
        EWX_LOGOFF | EWX_FORCE,
    };
    system_shutdown_request(flags_by_action[code]);
    PostQuitMessage(0);
}

void fire(const FiringChoices& choices)
{
    if (choices.send_message) send_before_shutdown(choices.use_mapi);
    const int code = action_code(choices);
    // A forced end of the session may kill the program before it reaches the save
    // at exit, so what the user typed is saved before the request.
    save_settings();
    request_shutdown(code);
}
