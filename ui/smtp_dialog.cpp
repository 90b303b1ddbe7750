#include "ui/smtp_dialog.h"

#include <string>

#include "platform/app_instance.h"
#include "app/resource.h"
#include "settings/mail_settings.h"
#include "settings/value_rules.h"
#include "ui/dialog_fields.h"
#include "text/decimal_text.h"

namespace {

const int edit_fields[] = {IDC_SMTP_SERVER, IDC_SMTP_PORT, IDC_SMTP_MAILBOX, IDC_SMTP_LOGIN, IDC_SMTP_PASSWORD};

void fill_smtp_fields(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_SMTP_SERVER, mail_settings.smtp_server.c_str());
    SetDlgItemTextA(dialog, IDC_SMTP_PORT, decimal_text(mail_settings.smtp_port).c_str());
    SetDlgItemTextA(dialog, IDC_SMTP_MAILBOX, mail_settings.sender_mailbox.c_str());
    SetDlgItemTextA(dialog, IDC_SMTP_LOGIN, mail_settings.smtp_login.c_str());
    SetDlgItemTextA(dialog, IDC_SMTP_PASSWORD, mail_settings.smtp_password.c_str());
}

void read_smtp_fields(HWND dialog)
{
    mail_settings.smtp_server = field_text(dialog, IDC_SMTP_SERVER);
    mail_settings.smtp_port = integer_from_text(field_text(dialog, IDC_SMTP_PORT).c_str());
    mail_settings.sender_mailbox = field_text(dialog, IDC_SMTP_MAILBOX);
    mail_settings.smtp_login = field_text(dialog, IDC_SMTP_LOGIN);
    mail_settings.smtp_password = field_text(dialog, IDC_SMTP_PASSWORD);
}

INT_PTR on_init(HWND dialog)
{
    for (int id : edit_fields) limit_field(dialog, id);
    fill_smtp_fields(dialog);
    return TRUE;
}

void on_apply(HWND dialog)
{
    read_smtp_fields(dialog);
    EndDialog(dialog, IDOK);
}

void on_exit(HWND dialog) { EndDialog(dialog, IDCANCEL); }

// Escape and the close box arrive as IDCANCEL; every command counts as handled.
INT_PTR on_command(HWND dialog, int id)
{
    switch (id) {
    case IDOK: on_apply(dialog); break;
    case IDCANCEL: on_exit(dialog); break;
    }
    return TRUE;
}

// The fields are read again on destruction, so every way of closing stores them.
INT_PTR on_destroy(HWND dialog)
{
    read_smtp_fields(dialog);
    return FALSE;
}

INT_PTR CALLBACK smtp_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return on_init(dialog);
    case WM_COMMAND: return on_command(dialog, LOWORD(wparam));
    case WM_DESTROY: return on_destroy(dialog);
    }
    return FALSE;
}

} // namespace

INT_PTR run_smtp_dialog(HWND owner)
{
    // Wide, like the main window, for the template's Russian labels.
    return DialogBoxParamW(app_instance, MAKEINTRESOURCEW(IDD_SMTP), owner, smtp_dialog_proc, 0);
}
