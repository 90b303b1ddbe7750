#include "tests/support/fake_mapi_control.h"

#include <cstdint>
#include <fstream>

namespace {

const char* const scripting_variables[] = {FAKE_MAPI_LOG,  FAKE_MAPI_LOADS,    FAKE_MAPI_FAIL,
                                           FAKE_MAPI_HANG, FAKE_MAPI_CALLBACK, FAKE_MAPI_ENDED};

std::vector<std::string> lines_of(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// Where the doubles are built, from the test program's folder.
std::string fake_mapi_folder() { return test_program_folder() + TULVO_FAKE_MAPI_DIR "\\"; }

} // namespace

FakeMapi::FakeMapi(const char* lacking)
{
    const std::string dll = lacking ? fake_mapi_folder() + "lacking_" + lacking + "\\mapi32.dll" : built_dll();
    CopyFileA(dll.c_str(), system_mapi32().c_str(), FALSE);
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string base = std::string(folder) + "fake_mapi32." + std::to_string(GetCurrentProcessId());
    log_path_ = base + ".log";
    loads_path_ = base + ".loads";
    DeleteFileA(log_path_.c_str());
    DeleteFileA(loads_path_.c_str());
    for (const char* variable : scripting_variables) SetEnvironmentVariableA(variable, nullptr);
    SetEnvironmentVariableA(FAKE_MAPI_LOG, log_path_.c_str());
    SetEnvironmentVariableA(FAKE_MAPI_LOADS, loads_path_.c_str());
}

FakeMapi::~FakeMapi()
{
    for (const char* variable : scripting_variables) SetEnvironmentVariableA(variable, nullptr);
    DeleteFileA(log_path_.c_str());
    DeleteFileA(loads_path_.c_str());
}

std::string FakeMapi::built_dll() { return fake_mapi_folder() + "mapi32.dll"; }

void FakeMapi::fail(const char* entries) { SetEnvironmentVariableA(FAKE_MAPI_FAIL, entries); }

void FakeMapi::hang(const char* entries) { SetEnvironmentVariableA(FAKE_MAPI_HANG, entries); }

void FakeMapi::end_sessions(const char* handles) { SetEnvironmentVariableA(FAKE_MAPI_ENDED, handles); }

void FakeMapi::on_call(FakeMapiCallback callback)
{
    const std::string address = std::to_string(reinterpret_cast<std::uintptr_t>(callback));
    SetEnvironmentVariableA(FAKE_MAPI_CALLBACK, callback ? address.c_str() : nullptr);
}

std::vector<std::string> FakeMapi::calls() const { return lines_of(log_path_); }

std::vector<std::string> FakeMapi::loads() const { return lines_of(loads_path_); }

std::vector<std::string> FakeMapi::entries() const
{
    std::vector<std::string> names;
    for (const std::string& line : calls()) names.push_back(line.substr(0, line.find(' ')));
    return names;
}

bool mapi32_loaded() { return GetModuleHandleA("mapi32.dll") != nullptr; }

std::string loaded_mapi32_path()
{
    const HMODULE module = GetModuleHandleA("mapi32.dll");
    if (!module) return "";
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, sizeof path);
    return path;
}

std::string system_mapi32()
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\mapi32.dll";
}

std::string test_program_folder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}
