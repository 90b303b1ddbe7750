// The system calls whose effect tests must see or control: the shutdown request,
// keeping the PC awake, the two clocks and the one write to the settings file. The
// program links the real calls (system_calls.cpp); tests link doubles in their place.
#ifndef TULVO_SYSTEM_CALLS_H
#define TULVO_SYSTEM_CALLS_H

#include <cstdint>

#include "platform/local_time.h"

// Asks Windows to power off, reboot or log off: ExitWindowsEx(flags, reason). True
// when Windows took the request (the shutdown has started).
bool system_shutdown_request(unsigned flags, unsigned reason);

// While on, Windows does not go to sleep when idle (the display may still turn
// off, and the user can still put the PC to sleep). Holds for the calling thread.
void system_keep_awake(bool on);

// Milliseconds since the system started, counting on through sleep.
std::uint64_t system_milliseconds();

// The local date and time; it jumps with clock changes and time-zone rules.
LocalTime system_local_time();

// WritePrivateProfileStringW(section, key, value, path): Windows writes the value in
// the ANSI code page unless the file is UTF-16 already. A failure is not reported.
void system_profile_write(const wchar_t* section, const wchar_t* key, const wchar_t* value, const wchar_t* path);

#endif
