#include "platform/system_calls.h"

#include <windows.h>

#include "platform/system_time.h"

bool system_shutdown_request(unsigned flags, unsigned reason) { return ExitWindowsEx(flags, reason) != FALSE; }

void system_keep_awake(bool on) { SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS); }

std::uint64_t system_milliseconds() { return GetTickCount64(); }

LocalTime system_local_time()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return local_time_of(now);
}

void system_profile_write(const wchar_t* section, const wchar_t* key, const wchar_t* value, const wchar_t* path)
{
    WritePrivateProfileStringW(section, key, value, path);
}
