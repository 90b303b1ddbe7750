// tulvo.exe as a file: it imports only Windows' own DLLs and carries the manifest,
// icon and version information Windows users expect.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/support/program_driver.h"
#include "tests/support/message_box_watcher.h"

namespace {

// Windows' known DLLs, which it always takes from its own folder, and comctl32, which
// the manifest binds. Any other import would be looked for beside the program first.
const char* const windows_dlls[] = {
    "kernel32.dll", "user32.dll", "gdi32.dll",    "advapi32.dll", "shell32.dll", "shlwapi.dll", "ws2_32.dll",
    "msvcrt.dll",   "ole32.dll",  "oleaut32.dll", "comdlg32.dll", "imm32.dll",   "ntdll.dll",   "comctl32.dll",
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
    // The import directory sits at another offset in a 64-bit (PE32+) image.
    const auto* nt64 = reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt);
    const bool wide = nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    const DWORD directory =
        (wide ? nt64->OptionalHeader.DataDirectory : nt->OptionalHeader.DataDirectory)[IMAGE_DIRECTORY_ENTRY_IMPORT]
            .VirtualAddress;
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

namespace {

// The program's resources, read from the file as data (nothing of it runs).
class ProgramImageResources : public testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExA(program_exe("tulvo.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override { FreeLibrary(module); }

    std::string resource(LPCSTR type, LPCSTR name)
    {
        HRSRC found = FindResourceA(module, name, type);
        if (found == nullptr) return "";
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::string(data, SizeofResource(module, found));
    }

    HMODULE module = nullptr;
};

} // namespace

TEST_F(ProgramImageResources, ManifestAsksForVisualStylesDpiAwarenessAndNoElevation)
{
    const std::string manifest = resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    for (const char* part :
         {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "level=\"asInvoker\"", "PerMonitorV2",
          "<dpiAware", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    const std::string own_architecture =
        sizeof(void*) == 8 ? "processorArchitecture=\"amd64\"" : "processorArchitecture=\"x86\"";
    size_t named = 0;
    for (size_t at = 0; (at = manifest.find(own_architecture, at)) != std::string::npos; at += 1) ++named;
    EXPECT_EQ(named, 2u) << "the program and the common controls, both as the build's own architecture";
}

TEST_F(ProgramImageResources, IconHasSixteenThirtyTwoAndFortyEightPixelImages)
{
    const std::string group = resource(MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(105)); // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u);
    const int count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) sizes.push_back(static_cast<unsigned char>(group[6 + 14 * i]));
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
}

TEST_F(ProgramImageResources, VersionNamesTheProductWithARussianDescription)
{
    const std::string version = resource(MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1)); // RT_VERSION
    ASSERT_FALSE(version.empty());
    char* name = nullptr;
    char* description = nullptr;
    UINT length = 0;
    std::string copy = version; // VerQueryValue needs writable data
    ASSERT_TRUE(
        VerQueryValueA(&copy[0], "\\StringFileInfo\\041904E3\\ProductName", reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, "tulvo");
    ASSERT_TRUE(VerQueryValueA(&copy[0], "\\StringFileInfo\\041904E3\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_EQ(std::string(description), cp1251("Выключение компьютера по расписанию"));
}

namespace {

// The font of an extended dialog template: point size and face name.
struct TemplateFont {
    bool extended = false;
    DWORD style = 0;
    WORD points = 0;
    std::wstring face;
};

// Skips a template field that is a 0xFFFF ordinal or a zero-ended UTF-16 string.
const WORD* past_name(const WORD* at)
{
    return *at == 0xFFFF ? at + 2 : at + std::wcslen(reinterpret_cast<const wchar_t*>(at)) + 1;
}

TemplateFont font_of(const std::string& dialog)
{
    TemplateFont font;
    const WORD* at = reinterpret_cast<const WORD*>(dialog.data());
    font.extended = dialog.size() > 26 && at[0] == 1 && at[1] == 0xFFFF;
    if (!font.extended) return font;
    font.style = *reinterpret_cast<const DWORD*>(at + 6);
    at += 13;           // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy
    at = past_name(at); // menu
    at = past_name(at); // class
    at = past_name(at); // title
    font.points = at[0];
    at += 3; // pointsize, weight, italic and charset
    font.face = reinterpret_cast<const wchar_t*>(at);
    return font;
}

} // namespace

TEST_F(ProgramImageResources, BothTemplatesUseTheShellDialogFontAtEightPoints)
{
    for (int id : {101, 106}) {
        const TemplateFont font = font_of(resource(MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id))); // RT_DIALOG
        ASSERT_TRUE(font.extended) << id;
        EXPECT_EQ(font.style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT)) << id;
        EXPECT_EQ(font.points, 8) << id;
        EXPECT_EQ(font.face, L"MS Shell Dlg") << id;
    }
}
