// The per-user settings file: section MAIL, nine keys, read into and written from
// the process-wide MailSettings record.
#ifndef TULVO_SETTINGS_FILE_H
#define TULVO_SETTINGS_FILE_H

// Computes the settings path (kept for the save), then fills mail_settings from the file.
void load_settings();

// Writes all nine keys from mail_settings to the path computed by load_settings.
void save_settings();

#endif
