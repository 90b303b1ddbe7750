#include "tests/support/program_driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "app/resource.h"
#include "tests/support/recorded_clock.h"
#include "tests/support/recorded_files.h"
#include "tests/support/dialog_search.h"
#include "tests/support/guarded_send.h"

namespace {

std::string own_directory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory = path;
    return directory.substr(0, directory.find_last_of('\\') + 1);
}

// owner null: the main dialog, shown or hidden; else a message box owned by it that
// shows its text, saying text unless that is empty.
HWND find(DWORD process, HWND owner, const std::wstring& text = std::wstring())
{
    return find_dialog(process, [owner, &text](HWND dialog) {
        if (owner == nullptr) return GetDlgItem(dialog, IDC_TABS) != nullptr;
        if (GetWindow(dialog, GW_OWNER) != owner || !IsWindowVisible(dialog)) return false;
        const std::wstring shown = box_text(dialog);
        return !shown.empty() && (text.empty() || shown == text);
    });
}

} // namespace

std::string program_exe(const char* name) { return own_directory() + TULVO_PROGRAM_DIR + "\\" + name; }

std::string system_calls_file() { return recorded_file("system_calls.txt"); }

std::string settings_at_request_file() { return recorded_file("settings_at_request.ini"); }

std::string recorded_lines(std::initializer_list<const char*> kinds)
{
    std::istringstream lines(file_text(system_calls_file()));
    std::string chosen;
    for (std::string line; std::getline(lines, line);)
        for (const char* kind : kinds)
            if (line.rfind(kind, 0) == 0) chosen += line + "\n";
    return chosen;
}

std::string recorded_shutdowns() { return recorded_lines({"shutdown "}); }

std::string shutdown_line(unsigned flags)
{
    return "shutdown " + std::to_string(flags) + " reason=80000000 armed=0\r\n";
}

void forget_recorded_calls()
{
    DeleteFileA(system_calls_file().c_str());
    DeleteFileA(settings_at_request_file().c_str());
}

ProgramClock::ProgramClock()
    : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(RecordedClock),
                                  RECORDED_CLOCK_MAPPING)),
      clock_(static_cast<RecordedClock*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(RecordedClock))))
{
    clock_->offset_ms = 0;
}

ProgramClock::~ProgramClock()
{
    UnmapViewOfFile(clock_);
    CloseHandle(mapping_);
}

void ProgramClock::advance(long long ms) { clock_->offset_ms = clock_->offset_ms + ms; }

std::string program_settings_file()
{
    char app_data[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, app_data, CSIDL_APPDATA, TRUE);
    return std::string(app_data) + "\\tulvo_recorded\\tulvo_recorded.ini";
}

std::string file_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Program::Program(const char* exe_name) : Program(program_exe(exe_name)) {}

Program::Program(const std::string& exe)
{
    std::vector<char> command(exe.begin(), exe.end());
    command.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    process_id_ = info.dwProcessId;
}

Program::~Program()
{
    if (process_ == nullptr) return;
    if (running()) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND Program::dialog(DWORD timeout_ms)
{
    if (dialog_ == nullptr && process_ != nullptr)
        wait_for([&] { return (dialog_ = find(process_id_, nullptr)) != nullptr || !running(); }, timeout_ms);
    return dialog_;
}

HWND Program::item(int id) { return GetDlgItem(dialog(), id); }

void Program::click(int id) { send_or_fail(item(id), BM_CLICK); }

void Program::post_click(int id) { PostMessageA(item(id), BM_CLICK, 0, 0); }

void Program::post_to_dialog(UINT message, WPARAM wparam, LPARAM lparam)
{
    PostMessageA(dialog(), message, wparam, lparam);
}

bool Program::checked(int id) { return SendMessageA(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool Program::enabled(int id) { return IsWindowEnabled(item(id)) != FALSE; }

bool Program::visible(int id) { return IsWindowVisible(item(id)) != FALSE; }

bool Program::window_visible() { return IsWindowVisible(dialog()) != FALSE; }

std::string Program::text(int id) { return window_text(item(id)); }

void Program::set_text(int id, const char* text)
{
    send_or_fail(item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void Program::type(int id, char character, int times)
{
    const WPARAM end_of_text = 0x7FFF;
    send_or_fail(item(id), EM_SETSEL, end_of_text, end_of_text);
    for (int i = 0; i < times; ++i) send_or_fail(item(id), WM_CHAR, static_cast<unsigned char>(character), 1);
}

void Program::select_tab(int index) { send_or_fail(item(IDC_TABS), TCM_SETCURFOCUS, index); }

int Program::selected_tab() { return static_cast<int>(SendMessageA(item(IDC_TABS), TCM_GETCURSEL, 0, 0)); }

// TCM_GETITEM points into the program's own memory: the item is made there.
std::wstring Program::tab_label(int index)
{
    const SIZE_T text_length = 100;
    struct Remote {
        TCITEMW item;
        wchar_t text[text_length];
    };
    auto* remote = static_cast<Remote*>(VirtualAllocEx(process_, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr) return L"<no memory in the program>";
    Remote local{};
    local.item.mask = TCIF_TEXT;
    local.item.pszText = remote->text;
    local.item.cchTextMax = text_length;
    WriteProcessMemory(process_, remote, &local, sizeof local, nullptr);
    send_wide_or_fail(item(IDC_TABS), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process_, remote, &local, sizeof local, nullptr);
    VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
    local.text[text_length - 1] = L'\0';
    return local.text;
}

std::wstring Program::wide_text(int id) { return wide_window_text(item(id)); }

void Program::spin(int id, bool up)
{
    const HWND control = item(id);
    RECT rect;
    GetClientRect(control, &rect);
    const LPARAM point = MAKELPARAM(rect.right / 2, up ? rect.bottom / 4 : rect.bottom * 3 / 4);
    send_or_fail(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
    send_or_fail(control, WM_LBUTTONUP, 0, point);
}

void Program::tick() { send_unless_gone(dialog(), WM_TIMER); }

void Program::sync() { send_or_fail(dialog(), WM_NULL); }

void Program::post_tick() { PostMessageA(dialog(), WM_TIMER, 0, 0); }

void Program::freeze()
{
    frozen_ = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(dialog(), nullptr));
    SuspendThread(frozen_);
}

void Program::thaw()
{
    ResumeThread(frozen_);
    CloseHandle(frozen_);
    frozen_ = nullptr;
}

HWND Program::wait_box(DWORD timeout_ms)
{
    HWND box = nullptr;
    wait_for([&] { return (box = find(process_id_, dialog())) != nullptr; }, timeout_ms);
    return box;
}

HWND Program::wait_box_saying(const std::wstring& text, DWORD timeout_ms)
{
    HWND box = nullptr;
    wait_for([&] { return (box = find(process_id_, dialog(), text)) != nullptr; }, timeout_ms);
    return box;
}

bool Program::wait_exit(DWORD timeout_ms, DWORD* code)
{
    if (process_ == nullptr || WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) return false;
    if (code != nullptr) GetExitCodeProcess(process_, code);
    return true;
}

bool Program::running() { return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool box_has_cancel(HWND box) { return GetDlgItem(box, IDCANCEL) != nullptr; }

void press_box_button(HWND box, int button) { PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0); }
