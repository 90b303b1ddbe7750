// The per-user settings file: section MAIL, nine keys, read into and written from
// the process-wide MailSettings record.
#ifndef TULVO_SETTINGS_FILE_H
#define TULVO_SETTINGS_FILE_H

#include <string>

#include "settings/mail_settings.h"

// Computes the settings path (kept for the save), then fills mail_settings from the file.
void load_settings();

// The settings file's path as load_settings computed it, in UTF-8 (empty before).
const std::string& settings_path();

// Writes all nine keys from mail_settings to the path computed by load_settings; may be
// called any number of times. Does nothing before a load.
void save_settings();

// The same against an explicit file path (UTF-8). Missing keys read as their
// defaults; a failed write is not reported.
void read_settings_file(const std::string& path, MailSettings& settings);
void write_settings_file(const std::string& path, const MailSettings& settings);

#endif
