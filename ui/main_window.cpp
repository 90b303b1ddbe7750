#include "ui/main_window.h"

#include <commctrl.h>

#include "platform/app_instance.h"
#include "app/message_texts.h"
#include "platform/paint_only.h"
#include "app/resource.h"
#include "text/text_scratch.h"
#include "scheduler/firing.h"
#include "platform/system_calls.h"
#include "platform/system_time.h"
#include "settings/settings_file.h"
#include "settings/value_rules.h"
#include "ui/dialog_fields.h"
#include "ui/mail_tab.h"
#include "text/decimal_text.h"

ScheduleClock schedule_clock;

namespace {

// The one timer of the window. Not 0: SetTimer reports 1 for an id of 0, and
// KillTimer with that value would miss it.
const UINT_PTR SECOND_TIMER = 1;
const UINT SECOND_TIMER_PERIOD_MS = 1000;

const int schedule_group[] = {
    IDC_AT_TIME,     IDC_AFTER_MINUTES,  IDC_POWER_OFF,  IDC_REBOOT,      IDC_LOG_OFF,
    IDC_TARGET_SPIN, IDC_COUNTDOWN_SPIN, IDC_COUNTDOWN,  IDC_TARGET_TIME, IDC_MINUTES_LABEL,
    IDC_TARGET_DATE, IDC_ACTION_GROUP,   IDC_TIME_GROUP,
};

// What Start locks and Stop unlocks.
const int schedule_inputs[] = {
    IDC_AT_TIME, IDC_AFTER_MINUTES, IDC_POWER_OFF,      IDC_REBOOT,
    IDC_LOG_OFF, IDC_TARGET_SPIN,   IDC_COUNTDOWN_SPIN, IDC_TARGET_DATE,
};

HANDLE show_event;
bool hidden;

ScheduleMode mode_of(HWND window)
{
    return checked(window, IDC_AT_TIME) ? ScheduleMode::AtTime : ScheduleMode::AfterMinutes;
}

void show_target_time(HWND window, const TargetTime& t)
{
    const SYSTEMTIME shown = system_time_of(t);
    text_scratch[0] = '\0';
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &shown, nullptr, text_scratch, TEXT_SCRATCH_SIZE);
    SetDlgItemTextA(window, IDC_TARGET_TIME, text_scratch);
}

void show_countdown(HWND window, long long minutes)
{
    SetDlgItemTextA(window, IDC_COUNTDOWN, decimal_text(minutes).c_str());
}

ShutdownAction checked_action(HWND window)
{
    if (checked(window, IDC_POWER_OFF)) return ShutdownAction::PowerOff;
    if (checked(window, IDC_REBOOT)) return ShutdownAction::Reboot;
    return ShutdownAction::LogOff;
}

void lock_schedule(HWND window, bool locked)
{
    for (int id : schedule_inputs) enable(window, id, !locked);
}

void on_stop(HWND window)
{
    enable(window, IDC_STOP, false);
    enable(window, IDC_START, true);
    disarm(schedule_clock);
    system_keep_awake(false);
    lock_schedule(window, false);
}

void show_again(HWND window)
{
    ShowWindow(window, SW_SHOW);
    hidden = false;
}

// Windows refused the action twice: the PC stays on, and the user is told so in
// front of every other window, the schedule stopped and the letter (if it went)
// no longer armed.
void report_refused_request(HWND window)
{
    on_stop(window);
    clear_send_message(window);
    show_again(window);
    SetForegroundWindow(window);
    show_text(window, IDS_NO_RIGHTS, MB_ICONERROR | MB_SETFOREGROUND);
}

// The choices as they stand now; the mail fields are taken first so that a forced
// end of the session keeps what the user typed. Start, Stop and the schedule stay
// locked to the end: a mail client's own message loop during the send must not
// let a second firing begin. Keep-awake ends only once the request is made, or an
// idle PC long past its sleep time-out could sleep during the letter.
void fire_now(HWND window)
{
    enable(window, IDC_START, false);
    enable(window, IDC_STOP, false);
    lock_schedule(window, true);
    read_mail_fields(window);
    const bool taken =
        fire(FiringChoices{checked_action(window), checked(window, IDC_SEND_MESSAGE), checked(window, IDC_USE_MAPI)});
    system_keep_awake(false);
    if (!taken) report_refused_request(window);
}

void centre_on_desktop(HWND window)
{
    RECT desktop, frame;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MoveWindow(window, desktop.right / 2 - width / 2, desktop.bottom / 2 - height / 2, width, height, FALSE);
}

void add_tab(HWND window, int index, int text_id)
{
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(load_text(text_id));
    SendDlgItemMessageW(window, IDC_TABS, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
}

INT_PTR on_init(HWND window)
{
    centre_on_desktop(window);
    CheckRadioButton(window, IDC_AT_TIME, IDC_AFTER_MINUTES, IDC_AT_TIME);
    CheckRadioButton(window, IDC_POWER_OFF, IDC_LOG_OFF, IDC_POWER_OFF);
    add_tab(window, 0, IDS_TAB_SCHEDULE);
    add_tab(window, 1, IDS_TAB_MAIL);
    SetDlgItemTextA(window, IDC_COUNTDOWN, "0");
    schedule_clock = make_schedule_clock(system_local_time());
    show_target_time(window, schedule_clock.target);
    SetTimer(window, SECOND_TIMER, SECOND_TIMER_PERIOD_MS, nullptr);
    SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_MINIMIZEBOX);
    SetClassLongPtrA(window, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconA(app_instance, MAKEINTRESOURCEA(IDI_APP))));
    fill_mail_tab(window);
    return TRUE;
}

void on_destroy(HWND window)
{
    KillTimer(window, SECOND_TIMER);
    system_keep_awake(false);
    read_mail_fields(window);
}

// Windows is ending the session: the process may be killed before the save at exit.
// After the firing's request the firing's own save is the last one.
void on_end_session(HWND window, bool ending)
{
    if (!ending || shutdown_requested()) return;
    read_mail_fields(window);
    save_settings();
}

void on_start(HWND window)
{
    if (due_at_start(schedule_clock, mode_of(window), system_local_time())) {
        const int answer = show_text(window, IDS_ACT_NOW, MB_OKCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return;
        // The firing sequence ends the run; the schedule is not armed after it.
        if (answer == IDOK) {
            fire_now(window);
            return;
        }
    }
    enable(window, IDC_START, false);
    enable(window, IDC_STOP, true);
    arm(schedule_clock, system_milliseconds());
    // An idle PC would otherwise go to sleep before the action.
    system_keep_awake(true);
    lock_schedule(window, true);
}

void on_hide(HWND window)
{
    ShowWindow(window, SW_HIDE);
    show_text(window, IDS_HIDE_HINT, MB_ICONINFORMATION);
    // A signal from before the hiding must not bring the window straight back. A
    // late question asked during the hint has shown the window again.
    ResetEvent(show_event);
    hidden = IsWindowVisible(window) == FALSE;
}

// While a mail server is awaited the window only paints: a command sent to it by
// another program, or a timer message sent rather than posted, must not begin a
// second send or the firing inside that wait.
void on_command(HWND window, int id)
{
    if (serving_paint_only()) return;
    switch (id) {
    case IDCANCEL:
    case IDC_EXIT: EndDialog(window, id); break;
    case IDC_HIDE: on_hide(window); break;
    case IDC_START: on_start(window); break;
    case IDC_STOP: on_stop(window); break;
    case IDC_SEND_MESSAGE:
    case IDC_USE_MAPI:
    case IDC_CONFIGURE_SMTP:
    case IDC_TEST_SEND: on_mail_tab_command(window, id); break;
    }
}

// The PC slept through the moment, or the program could not run: forcing the
// action now would end whatever the user has started since, so the user is asked,
// in front of every other window, and Cancel leaves the window idle.
void confirm_late_action(HWND window)
{
    show_again(window);
    SetForegroundWindow(window);
    if (show_text(window, IDS_ACT_NOW, MB_OKCANCEL | MB_ICONQUESTION | MB_SETFOREGROUND) == IDOK)
        fire_now(window);
    else
        on_stop(window);
}

// The countdown follows the clock: a tick that waits for a send loses nothing.
void on_timer(HWND window)
{
    if (serving_paint_only()) return;
    if (hidden && WaitForSingleObject(show_event, 0) == WAIT_OBJECT_0) show_again(window);
    if (!schedule_clock.armed) return;
    const TickResult result = tick(schedule_clock, mode_of(window), system_local_time(), system_milliseconds());
    if (result.show_countdown) show_countdown(window, result.countdown_display);
    if (!result.due) return;
    // No further tick while the user is asked or the letter goes out.
    disarm(schedule_clock);
    if (result.late)
        confirm_late_action(window);
    else
        fire_now(window);
}

void on_date_change(const NMDATETIMECHANGE& change)
{
    set_target_date(schedule_clock, change.st.wYear, change.st.wMonth, change.st.wDay);
}

// The upward arrow reports a delta of -1 (default range): one minute later, one more minute.
void on_delta_pos(HWND window, const NMUPDOWN& step)
{
    if (step.hdr.idFrom == IDC_TARGET_SPIN) show_target_time(window, adjust_target_minute(schedule_clock, step.iDelta));
    if (step.hdr.idFrom == IDC_COUNTDOWN_SPIN) show_countdown(window, adjust_countdown(schedule_clock, step.iDelta));
}

void on_tab_change(HWND window)
{
    const bool mail = SendDlgItemMessageA(window, IDC_TABS, TCM_GETCURSEL, 0, 0) != 0;
    if (mail) {
        for (int id : schedule_group) ShowWindow(GetDlgItem(window, id), SW_HIDE);
        show_mail_tab(window, SW_SHOW);
    } else {
        for (int id : schedule_group) ShowWindow(GetDlgItem(window, id), SW_SHOW);
        show_mail_tab(window, SW_HIDE);
    }
}

void on_notify(HWND window, const NMHDR& header)
{
    switch (header.code) {
    case DTN_DATETIMECHANGE: on_date_change(reinterpret_cast<const NMDATETIMECHANGE&>(header)); break;
    case UDN_DELTAPOS: on_delta_pos(window, reinterpret_cast<const NMUPDOWN&>(header)); break;
    case TCN_SELCHANGE: on_tab_change(window); break;
    }
}

// The wait cursor stays over the window while a mail server is awaited.
INT_PTR on_set_cursor(HWND window)
{
    if (!serving_paint_only()) return FALSE;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

INT_PTR CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SETCURSOR: return on_set_cursor(window);
    case WM_INITDIALOG: return on_init(window);
    case WM_COMMAND: on_command(window, LOWORD(wparam)); return TRUE;
    case WM_TIMER: on_timer(window); return FALSE;
    case WM_NOTIFY: on_notify(window, *reinterpret_cast<const NMHDR*>(lparam)); return FALSE;
    case WM_ENDSESSION: on_end_session(window, wparam != 0); return FALSE;
    case WM_DESTROY: on_destroy(window); return FALSE;
    }
    return FALSE;
}

} // namespace

INT_PTR run_main_window(HANDLE event)
{
    show_event = event;
    hidden = false;
    // A wide dialog: the template's Russian labels would become question marks on
    // a system whose ANSI code page lacks Cyrillic. What the user types is still
    // read in the ANSI code page.
    return DialogBoxParamW(app_instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, main_window_proc, 0);
}
