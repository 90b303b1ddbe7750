// The main window (template 101): schedule tab, tab switching, the one-second
// timer, Start, Stop, Hide and Exit.
#ifndef TULVO_MAIN_WINDOW_H
#define TULVO_MAIN_WINDOW_H

#include <windows.h>

#include "scheduler/schedule_clock.h"

// The schedule of this process, from the window's start until exit.
extern ScheduleClock schedule_clock;

// Runs the main window modally; returns its end value (IDCANCEL or IDC_EXIT, or
// what the dialog loop gives when the firing sequence ends it). show_event is the
// named event a second start sets to bring a hidden window back.
INT_PTR run_main_window(HANDLE show_event);

#endif
