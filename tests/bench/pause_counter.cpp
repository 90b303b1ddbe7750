#include <windows.h>

long bench_pauses = 0;

void bench_counted_sleep(DWORD milliseconds)
{
    ++bench_pauses;
    Sleep(milliseconds);
}
