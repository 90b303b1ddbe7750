// Shutdown seam of the test build of the program (tulvo_recorded.exe): instead of
// the request, appends one line per request to shutdown_requests.txt beside the
// exe: the flags, then whether the schedule was still armed ("armed=0" means the
// Stop button had been pressed before the request).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "scheduler/system_request.h"
#include "ui/main_window.h"

void system_shutdown_request(unsigned flags)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* name = std::strrchr(path, '\\');
    name = name ? name + 1 : path;
    lstrcpynA(name, "shutdown_requests.txt", static_cast<int>(path + MAX_PATH - name));
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%u armed=%d\r\n", flags, schedule_clock.armed ? 1 : 0);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}
