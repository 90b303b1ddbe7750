#include "tests/support/moved_clock.h"

#include <windows.h>

#include "platform/system_time.h"

namespace {

const std::uint64_t filetime_ticks_per_ms = 10000; // FILETIME counts 100 ns

} // namespace

LocalTime local_time_after(std::uint64_t ms)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER moved;
    moved.LowPart = file.dwLowDateTime;
    moved.HighPart = file.dwHighDateTime;
    moved.QuadPart += ms * filetime_ticks_per_ms;
    file.dwLowDateTime = moved.LowPart;
    file.dwHighDateTime = moved.HighPart;
    FileTimeToSystemTime(&file, &now);
    return local_time_of(now);
}
