#include "ui/mail_tab.h"

#include <string>

#include "app/resource.h"
#include "mail/notification.h"
#include "settings/mail_settings.h"
#include "ui/dialog_fields.h"
#include "ui/smtp_dialog.h"

namespace {

const int text_fields[] = {IDC_MAIL_TO, IDC_MAIL_SUBJECT, IDC_MAIL_BODY};

const int mail_group[] = {
    IDC_SEND_MESSAGE, IDC_USE_MAPI,  IDC_CONFIGURE_SMTP, IDC_MAIL_TO,       IDC_MAIL_SUBJECT,
    IDC_MAIL_BODY,    IDC_TEST_SEND, IDC_TO_LABEL,       IDC_SUBJECT_LABEL, IDC_BODY_LABEL,
};

// Locked while armed (the configure button follows the use-MAPI box separately).
const int armed_locked[] = {
    IDC_USE_MAPI, IDC_MAIL_TO,       IDC_MAIL_SUBJECT, IDC_MAIL_BODY,
    IDC_TO_LABEL, IDC_SUBJECT_LABEL, IDC_BODY_LABEL,   IDC_TEST_SEND,
};

// A failed arming has shown why (or was refused while another operation runs):
// only the tick is taken back, which issues no command.
// The use-MAPI box stays live while a mail client's logon window is open, so it
// may have been flipped meanwhile; once armed it shows again the transport that
// was prepared, which the firing and the disarming then read from it. While
// armed the configure button is locked whichever transport that is.
void arm_from_tab(HWND window)
{
    read_mail_fields(window);
    const bool use_mapi = checked(window, IDC_USE_MAPI);
    if (arm_notification(window, use_mapi) != 0) {
        CheckDlgButton(window, IDC_SEND_MESSAGE, BST_UNCHECKED);
        return;
    }
    CheckDlgButton(window, IDC_USE_MAPI, use_mapi ? BST_CHECKED : BST_UNCHECKED);
    for (int id : armed_locked) enable(window, id, false);
    enable(window, IDC_CONFIGURE_SMTP, false);
}

// The use-MAPI box was locked while armed, so its tick is the choice made at arming.
void disarm_from_tab(HWND window)
{
    enable(window, IDC_USE_MAPI, true);
    const bool use_mapi = checked(window, IDC_USE_MAPI);
    disarm_notification(use_mapi);
    if (!use_mapi) enable(window, IDC_CONFIGURE_SMTP, true);
    for (int id : armed_locked) enable(window, id, true);
}

void on_send_message(HWND window)
{
    if (checked(window, IDC_SEND_MESSAGE))
        arm_from_tab(window);
    else
        disarm_from_tab(window);
}

void on_use_mapi(HWND window) { enable(window, IDC_CONFIGURE_SMTP, !checked(window, IDC_USE_MAPI)); }

void on_configure_smtp(HWND window) { run_smtp_dialog(window); }

// A server may take its time: the window paints meanwhile, under the wait cursor.
void on_test_send(HWND window)
{
    read_mail_fields(window);
    const HCURSOR before = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    test_send(window, checked(window, IDC_USE_MAPI));
    SetCursor(before);
}

} // namespace

void fill_mail_tab(HWND window)
{
    for (int id : text_fields) limit_field(window, id);
    if (mail_settings.use_mapi) {
        CheckDlgButton(window, IDC_USE_MAPI, BST_CHECKED);
        enable(window, IDC_CONFIGURE_SMTP, false);
    }
    SetDlgItemTextA(window, IDC_MAIL_TO, mail_settings.recipient.c_str());
    SetDlgItemTextA(window, IDC_MAIL_SUBJECT, mail_settings.subject.c_str());
    SetDlgItemTextA(window, IDC_MAIL_BODY, mail_settings.body.c_str());
}

void read_mail_fields(HWND window)
{
    mail_settings.use_mapi = checked(window, IDC_USE_MAPI);
    mail_settings.recipient = field_text(window, IDC_MAIL_TO);
    mail_settings.subject = field_text(window, IDC_MAIL_SUBJECT);
    mail_settings.body = field_text(window, IDC_MAIL_BODY);
}

void show_mail_tab(HWND window, int show_command)
{
    for (int id : mail_group) ShowWindow(GetDlgItem(window, id), show_command);
}

void clear_send_message(HWND window)
{
    if (!checked(window, IDC_SEND_MESSAGE)) return;
    CheckDlgButton(window, IDC_SEND_MESSAGE, BST_UNCHECKED);
    disarm_from_tab(window);
}

void on_mail_tab_command(HWND window, int id)
{
    switch (id) {
    case IDC_SEND_MESSAGE: on_send_message(window); break;
    case IDC_USE_MAPI: on_use_mapi(window); break;
    case IDC_CONFIGURE_SMTP: on_configure_smtp(window); break;
    case IDC_TEST_SEND: on_test_send(window); break;
    }
}
