// A scripted Simple MAPI client for the tests; see fake_mapi32.h.
#include <windows.h>
#include <mapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/fake_mapi32.h"

namespace {

// The one descriptor handed out by MAPIResolveName; recognised when it comes back.
lpMapiRecipDesc handed_out = nullptr;

// "[text]" with CR and LF written as \r and \n, so that one call stays one line.
const char* text_or_null(const char* text, char* buffer, size_t size)
{
    if (!text) return "null";
    size_t n = 0;
    buffer[n++] = '[';
    for (; *text && n + 4 < size; ++text) {
        if (*text == '\r' || *text == '\n') {
            buffer[n++] = '\\';
            buffer[n++] = *text == '\r' ? 'r' : 'n';
        } else {
            buffer[n++] = *text;
        }
    }
    buffer[n++] = ']';
    buffer[n] = '\0';
    return buffer;
}

void append_line(const char* variable, const char* line)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA(variable, path, sizeof path)) return;
    const HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

bool listed_in(const char* variable, const char* entry)
{
    char list[512] = ",";
    if (!GetEnvironmentVariableA(variable, list + 1, sizeof list - 2)) return false;
    std::strcat(list, ",");
    char token[64];
    std::snprintf(token, sizeof token, ",%s,", entry);
    return std::strstr(list, token) != nullptr;
}

void call_back(const char* entry)
{
    char address[32];
    if (!GetEnvironmentVariableA(FAKE_MAPI_CALLBACK, address, sizeof address)) return;
    const auto callback =
        reinterpret_cast<FakeMapiCallback>(static_cast<std::uintptr_t>(std::strtoull(address, nullptr, 10)));
    if (callback) callback(entry);
}

// A client's question box: the caller's windows stay live under its message loop.
void dispatch_for_ever()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    Sleep(INFINITE);
}

// Logs the call, runs the test's callback and answers as scripted.
ULONG answer(const char* entry, const char* line, ULONG failure)
{
    append_line(FAKE_MAPI_LOG, line);
    call_back(entry);
    if (listed_in(FAKE_MAPI_HANG, entry)) dispatch_for_ever();
    return listed_in(FAKE_MAPI_FAIL, entry) ? failure : SUCCESS_SUCCESS;
}

char* copy_text(const char* text)
{
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, std::strlen(text) + 1));
    std::strcpy(copy, text);
    return copy;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(module, path, sizeof path);
        append_line(FAKE_MAPI_LOADS, path);
    }
    return TRUE;
}

ULONG WINAPI MAPILogon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags, ULONG reserved, LPLHANDLE session)
{
    char line[512], p[128], w[128];
    std::snprintf(line, sizeof line, "MAPILogon ui=%lu profile=%s password=%s flags=%lu reserved=%lu",
                  static_cast<unsigned long>(ui), text_or_null(profile, p, sizeof p),
                  text_or_null(password, w, sizeof w), static_cast<unsigned long>(flags),
                  static_cast<unsigned long>(reserved));
    static LHANDLE next_session = FAKE_MAPI_SESSION;
    const ULONG result = answer("MAPILogon", line, MAPI_E_LOGIN_FAILURE);
    if (result == SUCCESS_SUCCESS) *session = next_session++;
    return result;
}

ULONG WINAPI MAPIResolveName(LHANDLE session, ULONG_PTR ui, LPSTR name, FLAGS flags, ULONG reserved,
                             lpMapiRecipDesc* recipient)
{
    char line[512], n[256];
    std::snprintf(line, sizeof line, "MAPIResolveName session=%lu ui=%lu name=%s flags=%lu reserved=%lu",
                  static_cast<unsigned long>(session), static_cast<unsigned long>(ui), text_or_null(name, n, sizeof n),
                  static_cast<unsigned long>(flags), static_cast<unsigned long>(reserved));
    const ULONG result = answer("MAPIResolveName", line, MAPI_E_UNKNOWN_RECIPIENT);
    if (result != SUCCESS_SUCCESS) return result;
    handed_out = static_cast<lpMapiRecipDesc>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(MapiRecipDesc)));
    handed_out->ulRecipClass = MAPI_ORIG; // the sender must set the class itself
    handed_out->lpszName = copy_text(name ? name : "");
    handed_out->lpszAddress = copy_text("SMTP:resolved");
    *recipient = handed_out;
    return result;
}

ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR ui, lpMapiMessage message, FLAGS flags, ULONG reserved)
{
    char line[1024], s[256], t[256];
    const MapiMessage& m = *message;
    std::snprintf(
        line, sizeof line,
        "MAPISendMail session=%lu ui=%lu flags=%lu reserved=%lu subject=%s note=%s recips=%lu class=%lu "
        "recip=%s originator=%s type=%s date=%s conversation=%s files=%lu msgflags=%lu",
        static_cast<unsigned long>(session), static_cast<unsigned long>(ui), static_cast<unsigned long>(flags),
        static_cast<unsigned long>(reserved), text_or_null(m.lpszSubject, s, sizeof s),
        text_or_null(m.lpszNoteText, t, sizeof t), static_cast<unsigned long>(m.nRecipCount),
        static_cast<unsigned long>(m.lpRecips ? m.lpRecips->ulRecipClass : 0),
        m.lpRecips == handed_out ? "resolved" : "other", m.lpOriginator ? "set" : "null",
        m.lpszMessageType ? "set" : "null", m.lpszDateReceived ? "set" : "null", m.lpszConversationID ? "set" : "null",
        static_cast<unsigned long>(m.nFileCount), static_cast<unsigned long>(m.flFlags));
    char handle[32];
    std::snprintf(handle, sizeof handle, "%lu", static_cast<unsigned long>(session));
    const ULONG result = answer("MAPISendMail", line, MAPI_E_FAILURE);
    return listed_in(FAKE_MAPI_ENDED, handle) ? MAPI_E_INVALID_SESSION : result;
}

ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR ui, FLAGS flags, ULONG reserved)
{
    char line[256];
    std::snprintf(line, sizeof line, "MAPILogoff session=%lu ui=%lu flags=%lu reserved=%lu",
                  static_cast<unsigned long>(session), static_cast<unsigned long>(ui),
                  static_cast<unsigned long>(flags), static_cast<unsigned long>(reserved));
    return answer("MAPILogoff", line, MAPI_E_FAILURE);
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer)
{
    const bool resolved = buffer != nullptr && buffer == handed_out;
    if (resolved) {
        HeapFree(GetProcessHeap(), 0, handed_out->lpszName);
        HeapFree(GetProcessHeap(), 0, handed_out->lpszAddress);
        HeapFree(GetProcessHeap(), 0, handed_out);
        handed_out = nullptr;
    }
    return answer("MAPIFreeBuffer", resolved ? "MAPIFreeBuffer buffer=resolved" : "MAPIFreeBuffer buffer=other",
                  MAPI_E_FAILURE);
}

} // extern "C"
