// Benchmark of the running program under Wine: time from process start to the
// window being shown, CPU time per simulated idle hour (3,600 timer ticks, idle and
// with an at-time schedule armed), private memory after start and after 10,000 ticks.
// Usage: bench_program <path of tulvo.exe>. Prints figures; asserts nothing.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>

#include "app/resource.h"
#include "tests/support/dialog_search.h"

namespace {

double seconds_since(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

double cpu_seconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto total = (ULONGLONG(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
                       (ULONGLONG(user.dwHighDateTime) << 32 | user.dwLowDateTime);
    return double(total) / 1e7;
}

// Private bytes (Wine reports them as the pagefile usage) and the working set, in KiB.
void print_memory(HANDLE process, const char* when)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    const SIZE_T private_bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    std::printf("memory %s: private %.0f KiB, working set %.0f KiB\n", when, double(private_bytes) / 1024.0,
                double(counters.WorkingSetSize) / 1024.0);
}

void send_ticks(HWND dialog, int count)
{
    for (int i = 0; i < count; ++i) SendMessageA(dialog, WM_TIMER, 0, 0);
}

// Steps the target time up by one minute with a click on the upper half of its up-down.
void step_target_up(HWND dialog)
{
    HWND spin = GetDlgItem(dialog, IDC_TARGET_SPIN);
    RECT rect;
    GetClientRect(spin, &rect);
    const LPARAM point = MAKELPARAM(rect.right / 2, rect.bottom / 4);
    SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(spin, WM_LBUTTONUP, 0, point);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_program <tulvo.exe>\n");
        return 2;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    const auto shown_main_window = [](HWND dialog) {
        return IsWindowVisible(dialog) && GetDlgItem(dialog, IDC_TABS) != nullptr;
    };
    HWND dialog = nullptr;
    while ((dialog = find_dialog(process.dwProcessId, shown_main_window)) == nullptr && seconds_since(start) < 30)
        Sleep(1);
    if (dialog == nullptr) {
        std::fprintf(stderr, "window not shown within 30 s\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    std::printf("start to window shown: %.0f ms\n", seconds_since(start) * 1000);
    print_memory(process.hProcess, "after start");

    double cpu = cpu_seconds(process.hProcess);
    LARGE_INTEGER ticks_start;
    QueryPerformanceCounter(&ticks_start);
    send_ticks(dialog, 3600);
    std::printf("idle hour (3600 ticks, not armed): %.1f ms CPU in the program, %.0f ms wall\n",
                (cpu_seconds(process.hProcess) - cpu) * 1000, seconds_since(ticks_start) * 1000);

    for (int i = 0; i < 10; ++i) step_target_up(dialog);
    SendMessageA(dialog, WM_COMMAND, IDC_START, 0);
    cpu = cpu_seconds(process.hProcess);
    send_ticks(dialog, 3600);
    std::printf("armed hour (3600 ticks, at-time schedule): %.1f ms CPU in the program\n",
                (cpu_seconds(process.hProcess) - cpu) * 1000);
    send_ticks(dialog, 10000 - 7200);
    print_memory(process.hProcess, "after 10,000 ticks");

    SendMessageA(dialog, WM_COMMAND, IDC_STOP, 0);
    PostMessageA(dialog, WM_COMMAND, IDC_EXIT, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
