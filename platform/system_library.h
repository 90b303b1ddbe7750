// Windows' own DLLs that the program loads at run time, and their entry points.
// A DLL is always taken by its full path in the system folder, so that a copy
// dropped beside a downloaded program or into the current folder never runs.
#ifndef TULVO_SYSTEM_LIBRARY_H
#define TULVO_SYSTEM_LIBRARY_H

#include <windows.h>

#include <cstddef>

// Set first thing at start-up: Windows 8 and later (and 7 with its update) then
// take every DLL loaded at run time from the system folder only, so that none
// dropped beside the program or into the current folder runs; without the call
// the search order stays as it was.
void keep_dll_search_to_system_folder();

// The DLL of that file name in the system folder; null when it cannot be loaded.
HMODULE load_system_library(const char* file_name);

// One entry point of a typed table: its exported name and how its address is stored.
struct EntryPoint {
    const char* name;
    void (*store)(void* table, FARPROC address);
};

template <class>
struct EntryMember;
template <class Table, class Entry>
struct EntryMember<Entry Table::*> {
    using TableType = Table;
    using EntryType = Entry;
};

// The row's store for a member of a table: {"Name", store_entry<&Table::name>}.
// GetProcAddress knows no signatures; the generic function type carries the address over.
template <auto member>
void store_entry(void* table, FARPROC address)
{
    using Member = EntryMember<decltype(member)>;
    static_cast<typename Member::TableType*>(table)->*member =
        reinterpret_cast<typename Member::EntryType>(reinterpret_cast<void (*)()>(address));
}

// Looks up every row; false when one is missing (its pointer is then null).
bool look_up_entry_points(HMODULE library, const EntryPoint* rows, std::size_t count, void* table);

template <class Table, std::size_t count>
bool look_up_entry_points(HMODULE library, const EntryPoint (&rows)[count], Table& table)
{
    return look_up_entry_points(library, rows, count, &table);
}

#endif
