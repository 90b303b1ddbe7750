// The numbered Russian message texts (string table ids 1 to 16 of resource.h)
// and the message boxes that show them. Every box has an empty caption.
#ifndef TULVO_MESSAGE_TEXTS_H
#define TULVO_MESSAGE_TEXTS_H

#include <windows.h>

// Loads text n into the shared text buffer (empty when it cannot be loaded).
const char* load_text(int n);

// Shows text n in a modal box owned by owner (may be null); returns the box's answer.
int show_text(HWND owner, int n, UINT style);

// Shows text n followed directly by value, with the error icon.
void show_text_with_value(HWND owner, int n, const char* value);

#endif
