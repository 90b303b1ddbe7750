#include "scheduler/system_calls.h"

#include <windows.h>

void system_shutdown_request(unsigned flags, unsigned reason)
{
    ExitWindowsEx(flags, reason);
}

void system_keep_awake(bool on)
{
    SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

std::uint64_t system_milliseconds()
{
    return GetTickCount64();
}

TargetTime system_local_time()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return TargetTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                      now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}
