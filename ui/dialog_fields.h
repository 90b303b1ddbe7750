// Text fields of the dialogs, read through the shared text buffer, and the state of
// their buttons.
#ifndef TULVO_DIALOG_FIELDS_H
#define TULVO_DIALOG_FIELDS_H

#include <windows.h>

#include <string>

// At most the first 99 characters of the field (a line break counts two), in the
// ANSI code page, cut to 99 bytes where a character ends.
std::string field_text(HWND dialog, int id);

// Lets the edit take no more than field_text keeps, so nothing typed is dropped unseen.
void limit_field(HWND dialog, int id);

bool checked(HWND dialog, int id);
void enable(HWND dialog, int id, bool on);

#endif
