// While the program waits on a mail server its window must still paint, or Windows
// shows it as not responding after a few seconds; yet nothing may begin inside such
// a wait. The waits call serve_paint_only() between their steps.
#ifndef TULVO_PAINT_ONLY_H
#define TULVO_PAINT_ONLY_H

// Makes the pending paints of the calling thread's windows and throws their
// keyboard and mouse input away; posted messages (the timer's, a posted command)
// stay queued for later. Messages that other threads or programs send are handled
// here, as by any message call: meanwhile serving_paint_only() is true, so that a
// window procedure can refuse to begin anything.
void serve_paint_only();
bool serving_paint_only();

#endif
