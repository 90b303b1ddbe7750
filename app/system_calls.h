// The system calls whose effect tests must see or control: the shutdown request,
// keeping the PC awake, and the two clocks; the settings file's write
// (settings/profile_write.h) is defined with them. The program links the real calls
// (system_calls.cpp); tests link doubles in their place.
#ifndef TULVO_SYSTEM_CALLS_H
#define TULVO_SYSTEM_CALLS_H

#include <cstdint>

#include "scheduler/schedule_clock.h"

// Asks Windows to power off, reboot or log off: ExitWindowsEx(flags, reason). True
// when Windows took the request (the shutdown has started).
bool system_shutdown_request(unsigned flags, unsigned reason);

// While on, Windows does not go to sleep when idle (the display may still turn
// off, and the user can still put the PC to sleep). Holds for the calling thread.
void system_keep_awake(bool on);

// Milliseconds since the system started, counting on through sleep.
std::uint64_t system_milliseconds();

// The local date and time; it jumps with clock changes and time-zone rules.
TargetTime system_local_time();

#endif
