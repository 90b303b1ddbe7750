// tulvo.exe must run on a bare Windows: every DLL it imports is one of Windows' own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tests/program/program_driver.h"

namespace {

const char* const windows_dlls[] = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll",
    "ws2_32.dll",   "msvcrt.dll", "ole32.dll", "oleaut32.dll", "comdlg32.dll", "winspool.drv", "ntdll.dll",
};

// Names in the import directory of a PE image (read from the file, not loaded).
std::vector<std::string> imported_dlls(const std::string& image)
{
    std::vector<std::string> names;
    auto at = [&](size_t offset) { return image.data() + offset; };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(at(dos->e_lfanew));
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    auto file_offset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.Misc.VirtualSize)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    };
    const DWORD directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(file_offset(directory))); entry->Name;
         ++entry) {
        std::string name = at(file_offset(entry->Name));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        names.push_back(name);
    }
    return names;
}

} // namespace

TEST(ProgramImage, ImportsOnlyWindowsOwnDlls)
{
    const std::string image = file_text(program_exe("tulvo.exe"));
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    ASSERT_EQ(image.compare(0, 2, "MZ"), 0);
    const std::vector<std::string> names = imported_dlls(image);
    EXPECT_NE(std::find(names.begin(), names.end(), "kernel32.dll"), names.end());
    for (const std::string& name : names)
        EXPECT_NE(std::find(std::begin(windows_dlls), std::end(windows_dlls), name), std::end(windows_dlls)) << name;
}
