// A DLL planted beside a copy of the whole program, under the name of one of
// Windows' own, never runs. Not run beside the window tests of another Windows
// version: it takes 127.0.0.1 port 465.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <string>

#include "app/resource.h"
#include "tests/support/program_driver.h"
#include "tests/support/test_helpers.h"

namespace {

const std::uint16_t smtps_port = 465;

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
        std::uint16_t port = smtps_port;
        listener_ = loopback_listener(port);
        listen(listener_, 1);
    }
    ~HandshakeTaker() { closesocket(listener_); }
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
    const WinsockStarted winsock_;
    SOCKET listener_;
};

} // namespace

// Windows takes a DLL that is not one of its known DLLs from the program's own
// folder first: a downloaded program would run whatever lies beside it. Neither
// start-up nor a TLS session (secur32 and crypt32) loads the planted copy.
TEST(PlantedDll, ACrypt32PlantedBesideTheProgramNeverRuns)
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
    DeleteFileA(settings.c_str());
    CreateDirectoryA(settings.substr(0, settings.find_last_of('\\')).c_str(), nullptr);
    ASSERT_TRUE(WritePrivateProfileStringA("MAIL", "SmtpAdr", "localhost", settings.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("MAIL", "SmtpPort", "465", settings.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("MAIL", "MailAdr", "boss@example.org", settings.c_str()));
    // Wine prefers its own crypt32 unless told, for this program, to look for a
    // native one first, as Windows does for any DLL that is not a known one.
    HKEY overrides = nullptr;
    const char overrides_key[] = "Software\\Wine\\AppDefaults\\tulvo_recorded.exe\\DllOverrides";
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, overrides_key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &overrides, nullptr),
        ERROR_SUCCESS);
    const char native_first[] = "native,builtin";
    RegSetValueExA(overrides, "crypt32", 0, REG_SZ, reinterpret_cast<const BYTE*>(native_first), sizeof native_first);
    RegCloseKey(overrides);
    HandshakeTaker server;
    {
        Program program(exe);
        ASSERT_NE(program.dialog(), nullptr);
        ASSERT_TRUE(wait_for([&] { return program.window_visible(); }, 10000));
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
