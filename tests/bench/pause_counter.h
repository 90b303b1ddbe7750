// Force-included into the bench build of the reply wait: every polling pause goes
// through a counter. The program's own build never sees this file.
#ifndef TULVO_BENCH_PAUSE_COUNTER_H
#define TULVO_BENCH_PAUSE_COUNTER_H

#include <winsock2.h>
#include <windows.h>

extern long bench_pauses;
void bench_counted_sleep(DWORD milliseconds);

#define Sleep bench_counted_sleep

#endif
