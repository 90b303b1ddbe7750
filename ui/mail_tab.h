// The mail tab of the main window: its fields, commands and enable rules.
#ifndef TULVO_MAIL_TAB_H
#define TULVO_MAIL_TAB_H

#include <windows.h>

// Limits the three text fields and fills the tab from mail_settings; the
// send-message box stays clear.
void fill_mail_tab(HWND window);

// Takes the use-MAPI tick and the three texts (at most 99 characters each) into mail_settings.
void read_mail_fields(HWND window);

// Shows or hides every control of the tab (ShowWindow command); nothing else changes.
void show_mail_tab(HWND window, int show_command);

// After a firing, whose send released the transport: the send-message box is
// cleared and the tab unlocked, as a disarming leaves them.
void clear_send_message(HWND window);

// Handles the mail tab's commands (send message, use MAPI, configure SMTP, test).
void on_mail_tab_command(HWND window, int id);

#endif
