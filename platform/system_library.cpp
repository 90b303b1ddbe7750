#include "platform/system_library.h"

HMODULE load_system_library(const char* file_name)
{
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(file_name) >= MAX_PATH) return nullptr;
    path[length] = '\\';
    lstrcpyA(path + length + 1, file_name);
    return LoadLibraryA(path);
}

bool look_up_entry_points(HMODULE library, const EntryPoint* rows, std::size_t count, void* table)
{
    bool complete = true;
    for (std::size_t i = 0; i < count; ++i) {
        const FARPROC address = GetProcAddress(library, rows[i].name);
        rows[i].store(table, address);
        complete = complete && address != nullptr;
    }
    return complete;
}

namespace {

struct DllDirectoryEntry {
    BOOL(WINAPI* set_default_dll_directories)(DWORD);
};

const EntryPoint dll_directory_rows[] = {
    {"SetDefaultDllDirectories", store_entry<&DllDirectoryEntry::set_default_dll_directories>}};

} // namespace

void keep_dll_search_to_system_folder()
{
    DllDirectoryEntry entry{};
    if (look_up_entry_points(GetModuleHandleA("kernel32.dll"), dll_directory_rows, entry))
        entry.set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
