// Stands for a DLL dropped beside a downloaded program under the name of one of
// Windows' own: whenever something loads it, it leaves "<its path>.loaded".
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char mark[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameA(module, mark, MAX_PATH);
    lstrcpyA(mark + length, ".loaded");
    const HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
