// The SMTP settings dialog (template 106): server, port, sender, login, password.
#ifndef TULVO_SMTP_DIALOG_H
#define TULVO_SMTP_DIALOG_H

#include <windows.h>

// Runs the dialog modally over owner; every way of closing stores the fields in mail_settings.
INT_PTR run_smtp_dialog(HWND owner);

#endif
