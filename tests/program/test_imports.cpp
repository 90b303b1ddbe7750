// tulvo.exe as a file: it imports only Windows' own DLLs and carries the manifest,
// icon and version information Windows users expect; and a DLL planted beside a
// copy of the program never runs.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <string>
#include <vector>

#include "app/resource.h"
#include "tests/program/program_driver.h"
#include "tests/support/message_box_watcher.h"

namespace {

// Windows' known DLLs, which it always takes from its own folder, and comctl32, which
// the manifest binds. Any other import would be looked for beside the program first.
const char* const windows_dlls[] = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll", "ws2_32.dll",
    "msvcrt.dll",   "ole32.dll",  "oleaut32.dll", "comdlg32.dll", "imm32.dll", "ntdll.dll", "comctl32.dll",
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
    const DWORD directory = (wide ? nt64->OptionalHeader.DataDirectory : nt->OptionalHeader.DataDirectory)
                                [IMAGE_DIRECTORY_ENTRY_IMPORT]
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

std::string test_folder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length).substr(0, std::string(path, length).find_last_of('\\') + 1);
}

// A server on 127.0.0.1 port 465 that takes one connection and its first bytes.
class HandshakeTaker {
public:
    HandshakeTaker()
    {
        WSADATA startup;
        WSAStartup(MAKEWORD(2, 2), &startup);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        const BOOL reuse = TRUE;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(465);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 1);
    }
    ~HandshakeTaker()
    {
        closesocket(listener_);
        WSACleanup();
    }
    // The bytes of the first connection within seconds; the connection then closes.
    int first_bytes()
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        timeval wait{10, 0};
        if (select(0, &readable, nullptr, nullptr, &wait) != 1) return 0;
        const SOCKET client = accept(listener_, nullptr, nullptr);
        char bytes[512];
        FD_ZERO(&readable);
        FD_SET(client, &readable);
        const int got = select(0, &readable, nullptr, nullptr, &wait) == 1 ? recv(client, bytes, sizeof bytes, 0) : 0;
        closesocket(client);
        return got;
    }

private:
    SOCKET listener_;
};

} // namespace

// Windows takes a DLL that is not one of its known DLLs from the program's own
// folder first: a downloaded program would run whatever lies beside it. Neither
// start-up nor a TLS session (secur32 and crypt32) loads the planted copy.
TEST(ProgramImage, ACrypt32PlantedBesideTheProgramNeverRuns)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string downloads = std::string(temp) + "tulvo_planted";
    const std::string exe = downloads + "\\tulvo_recorded.exe";
    const std::string planted = downloads + "\\crypt32.dll";
    CreateDirectoryA(downloads.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(program_exe("tulvo_recorded.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((test_folder() + "planted_dll.dll").c_str(), planted.c_str(), FALSE));
    DeleteFileA((planted + ".loaded").c_str());
    const std::string settings = program_settings_file();
    CreateDirectoryA(settings.substr(0, settings.find_last_of('\\')).c_str(), nullptr);
    ASSERT_TRUE(WritePrivateProfileStringA("MAIL", "SmtpAdr", "localhost", settings.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("MAIL", "SmtpPort", "465", settings.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("MAIL", "MailAdr", "boss@example.org", settings.c_str()));
    // Wine prefers its own crypt32 unless told, for this program, to look for a
    // native one first, as Windows does for any DLL that is not a known one.
    HKEY overrides = nullptr;
    const char overrides_key[] = "Software\\Wine\\AppDefaults\\tulvo_recorded.exe\\DllOverrides";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, overrides_key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &overrides,
                              nullptr),
              ERROR_SUCCESS);
    const char native_first[] = "native,builtin";
    RegSetValueExA(overrides, "crypt32", 0, REG_SZ, reinterpret_cast<const BYTE*>(native_first), sizeof native_first);
    RegCloseKey(overrides);
    HandshakeTaker server;
    {
        Program program(exe);
        ASSERT_NE(program.dialog(), nullptr);
        program.select_tab(1);
        program.post_click(IDC_TEST_SEND);
        EXPECT_GT(server.first_bytes(), 0) << "a TLS session began";
        HWND box = program.wait_box();
        ASSERT_NE(box, nullptr);
        press_box_button(box, IDOK);
        program.click(IDC_EXIT);
        EXPECT_TRUE(program.wait_exit(10000));
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, overrides_key);
    EXPECT_FALSE(file_exists(planted + ".loaded"));
    DeleteFileA(planted.c_str());
    DeleteFileA(exe.c_str());
    RemoveDirectoryA(downloads.c_str());
    DeleteFileA(settings.c_str());
}

namespace {

// The program's resources, read from the file as data (nothing of it runs).
class ProgramResources : public testing::Test {
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

TEST_F(ProgramResources, ManifestAsksForVisualStylesDpiAwarenessAndNoElevation)
{
    const std::string manifest = resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    for (const char* part : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "level=\"asInvoker\"",
                             "PerMonitorV2", "<dpiAware", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

TEST_F(ProgramResources, IconHasSixteenThirtyTwoAndFortyEightPixelImages)
{
    const std::string group = resource(MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(105));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u);
    const int count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) sizes.push_back(static_cast<unsigned char>(group[6 + 14 * i]));
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
}

TEST_F(ProgramResources, VersionNamesTheProductWithARussianDescription)
{
    const std::string version = resource(MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1));  // RT_VERSION
    ASSERT_FALSE(version.empty());
    char* name = nullptr;
    char* description = nullptr;
    UINT length = 0;
    std::string copy = version;  // VerQueryValue needs writable data
    ASSERT_TRUE(VerQueryValueA(&copy[0], "\\StringFileInfo\\041904E3\\ProductName", reinterpret_cast<void**>(&name),
                               &length));
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
const WORD* past_name(const WORD* at) { return *at == 0xFFFF ? at + 2 : at + std::wcslen(reinterpret_cast<const wchar_t*>(at)) + 1; }

TemplateFont font_of(const std::string& dialog)
{
    TemplateFont font;
    const WORD* at = reinterpret_cast<const WORD*>(dialog.data());
    font.extended = dialog.size() > 26 && at[0] == 1 && at[1] == 0xFFFF;
    if (!font.extended) return font;
    font.style = *reinterpret_cast<const DWORD*>(at + 6);
    at += 13;               // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy
    at = past_name(at);     // menu
    at = past_name(at);     // class
    at = past_name(at);     // title
    font.points = at[0];
    at += 3;                // pointsize, weight, italic and charset
    font.face = reinterpret_cast<const wchar_t*>(at);
    return font;
}

} // namespace

TEST_F(ProgramResources, BothTemplatesUseTheShellDialogFontAtEightPoints)
{
    for (int id : {101, 106}) {
        const TemplateFont font = font_of(resource(MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id)));  // RT_DIALOG
        ASSERT_TRUE(font.extended) << id;
        EXPECT_EQ(font.style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT)) << id;
        EXPECT_EQ(font.points, 8) << id;
        EXPECT_EQ(font.face, L"MS Shell Dlg") << id;
    }
}
