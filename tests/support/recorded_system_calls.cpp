// The system calls of the test build of the program (tulvo_recorded.exe). Instead
// of being made, the shutdown and keep-awake requests are appended, one line each
// and in order, to system_calls.txt (recorded_files.h), and so is every write to
// the settings file (which is made):
//   keep-awake on | keep-awake off
//   shutdown <flags> reason=<hex> armed=<0|1>   ("armed=0": the clock was disarmed before the request)
//   profile <key>
// and at each shutdown request the settings file is copied to settings_at_request.ini
// there, which is what a forced end of the session would leave. The clocks
// run on from the real ones by the offset a test keeps in the RecordedClock mapping.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/system_calls.h"
#include "settings/settings_file.h"
#include "tests/support/recorded_clock.h"
#include "tests/support/recorded_files.h"
#include "tests/support/moved_clock.h"
#include "text/wide_text.h"
#include "ui/main_window.h"

namespace {

void record(const char* line)
{
    const HANDLE file = CreateFileA(recorded_file("system_calls.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(file);
}

// The test's offset; 0 when no test made the mapping before the program started.
long long clock_offset_ms()
{
    static bool looked = false;
    static const RecordedClock* clock = nullptr;
    if (!looked) {
        looked = true;
        const HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, RECORDED_CLOCK_MAPPING);
        if (mapping != nullptr)
            clock =
                static_cast<const RecordedClock*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(RecordedClock)));
    }
    return clock ? clock->offset_ms : 0;
}

} // namespace

// Taken, as far as the program can tell.
bool system_shutdown_request(unsigned flags, unsigned reason)
{
    CopyFileW(wide_of_utf8(settings_path()).c_str(), wide_of_ansi(recorded_file("settings_at_request.ini")).c_str(),
              FALSE);
    char line[96];
    std::snprintf(line, sizeof line, "shutdown %u reason=%x armed=%d\r\n", flags, reason, schedule_clock.armed ? 1 : 0);
    record(line);
    return true;
}

void system_profile_write(const wchar_t* section, const wchar_t* key, const wchar_t* value, const wchar_t* path)
{
    WritePrivateProfileStringW(section, key, value, path);
    record(("profile " + ansi_of_wide(key) + "\r\n").c_str());
}

void system_keep_awake(bool on) { record(on ? "keep-awake on\r\n" : "keep-awake off\r\n"); }

std::uint64_t system_milliseconds() { return GetTickCount64() + static_cast<std::uint64_t>(clock_offset_ms()); }

LocalTime system_local_time() { return local_time_after(static_cast<std::uint64_t>(clock_offset_ms())); }
