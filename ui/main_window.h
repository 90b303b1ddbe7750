// The main window (template 101): schedule tab, tab switching, the one-second
// timer, Start, Stop, Hide and Exit.
#ifndef TULVO_MAIN_WINDOW_H
#define TULVO_MAIN_WINDOW_H

#include <windows.h>

// Runs the main window modally; returns its end value (IDCANCEL or IDC_EXIT).
INT_PTR run_main_window(HANDLE show_event);

#endif
