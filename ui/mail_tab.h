// The mail tab of the main window: its fields, commands and enable rules.
#ifndef TULVO_MAIL_TAB_H
#define TULVO_MAIL_TAB_H

#include <windows.h>

void fill_mail_tab(HWND window);
void read_mail_fields(HWND window);

// Handles the mail tab's commands (send message, use MAPI, configure SMTP, test).
void on_mail_tab_command(HWND window, int id);

#endif
