// The numbered Russian message texts (string table ids 1 to 16 of resource.h)
// and the message boxes that show them. Every box has an empty caption. The texts
// go through the wide functions, so they show right whatever the ANSI code page.
#ifndef TULVO_MESSAGE_TEXTS_H
#define TULVO_MESSAGE_TEXTS_H

#include <windows.h>

// Loads text n into the shared wide text buffer (empty when it cannot be loaded).
const wchar_t* load_text(int n);

// Shows text n in a modal box owned by owner (may be null); returns the box's answer.
int show_text(HWND owner, int n, UINT style);

// Shows text n followed directly by value (text of the ANSI code page), with the error icon.
void show_text_with_value(HWND owner, int n, const char* value);

#endif
