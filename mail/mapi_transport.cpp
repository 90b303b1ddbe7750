#include "mail/mapi_transport.h"

#include <mapi.h>

#include "app/message_texts.h"
#include "app/resource.h"
#include "platform/system_library.h"

namespace {

struct MapiEntryPoints {
    LPMAPILOGON logon;
    LPMAPIRESOLVENAME resolve_name;
    LPMAPISENDMAIL send_mail;
    LPMAPILOGOFF logoff;
    LPMAPIFREEBUFFER free_buffer;
};

// Looked up in this order; all five are needed.
const EntryPoint entry_point_rows[] = {
    {"MAPILogon", store_entry<&MapiEntryPoints::logon>},
    {"MAPIResolveName", store_entry<&MapiEntryPoints::resolve_name>},
    {"MAPISendMail", store_entry<&MapiEntryPoints::send_mail>},
    {"MAPILogoff", store_entry<&MapiEntryPoints::logoff>},
    {"MAPIFreeBuffer", store_entry<&MapiEntryPoints::free_buffer>},
};

struct MapiSession {
    // Set from loading to unloading: a preparation is under way or the session is held.
    HMODULE library;
    MapiEntryPoints entries;
    std::string recipient;
    LHANDLE session;
    // The client's memory, handed back with MAPIFreeBuffer; null when no session is open.
    lpMapiRecipDesc resolved_recipient;
    // Logged on and resolved, and no call into the client under way: only then may
    // the session send or be released. The client's windows and our message boxes
    // run nested loops in which the main window's commands are still served.
    bool ready;
};

MapiSession mapi;

void unload()
{
    FreeLibrary(mapi.library);
    mapi = MapiSession{};
}

enum class Opening { Open, LogonFailed, RecipientUnknown };

// A session that is not open leaves nothing to log off.
Opening open_session()
{
    if (mapi.entries.logon(0, nullptr, nullptr, MAPI_LOGON_UI | MAPI_NEW_SESSION, 0, &mapi.session) != SUCCESS_SUCCESS)
        return Opening::LogonFailed;
    if (mapi.entries.resolve_name(mapi.session, 0, const_cast<LPSTR>(mapi.recipient.c_str()), 0, 0,
                                  &mapi.resolved_recipient) != SUCCESS_SUCCESS) {
        mapi.resolved_recipient = nullptr;
        mapi.entries.logoff(mapi.session, 0, 0, 0);
        return Opening::RecipientUnknown;
    }
    return Opening::Open;
}

ULONG send_once(const std::string& subject, const std::string& body)
{
    mapi.resolved_recipient->ulRecipClass = MAPI_TO;
    MapiMessage message{};
    message.lpszSubject = const_cast<LPSTR>(subject.c_str());
    message.lpszNoteText = const_cast<LPSTR>(body.c_str());
    message.nRecipCount = 1;
    message.lpRecips = mapi.resolved_recipient;
    return mapi.entries.send_mail(mapi.session, 0, &message, 0, 0);
}

// The mail client was restarted since the logon, taking the session with it.
bool session_lost(ULONG result) { return result == MAPI_E_INVALID_SESSION || result == MAPI_E_LOGIN_FAILURE; }

// The old descriptor is the client's memory still; the old session is gone.
bool reopen_session()
{
    mapi.entries.free_buffer(mapi.resolved_recipient);
    mapi.resolved_recipient = nullptr;
    return open_session() == Opening::Open;
}

} // namespace

int mapi_prepare(HWND owner, const std::string& recipient)
{
    // A preparation asked for from a nested loop of another one, or over a held
    // session, would overwrite it: refused, unseen.
    if (mapi.library) return -1;
    // Windows' own stub, which routes the calls to the default mail client.
    mapi.library = load_system_library("mapi32.dll");
    if (!mapi.library) {
        show_text(owner, IDS_NO_MAPI, MB_ICONERROR);
        return -1;
    }
    mapi.recipient = recipient;
    // A library that lacks an entry point counts as a failed logon.
    const Opening opening =
        look_up_entry_points(mapi.library, entry_point_rows, mapi.entries) ? open_session() : Opening::LogonFailed;
    switch (opening) {
    case Opening::Open: mapi.ready = true; return 0;
    case Opening::LogonFailed: show_text(owner, IDS_MAPI_UNUSABLE, MB_ICONERROR); break;
    case Opening::RecipientUnknown: show_text_with_value(owner, IDS_BAD_RECIPIENT, recipient.c_str()); break;
    }
    unload();
    return -1;
}

void mapi_send(HWND owner, const std::string& subject, const std::string& body, SendMode mode)
{
    if (!mapi.ready || mapi.resolved_recipient == nullptr) return;
    mapi.ready = false;
    ULONG result = send_once(subject, body);
    if (session_lost(result)) result = reopen_session() ? send_once(subject, body) : result;
    if (result != SUCCESS_SUCCESS && mode == SendMode::Interactive)
        show_text(owner, IDS_MAPI_SEND_FAILED, MB_ICONERROR);
    mapi.ready = true;
}

void mapi_release()
{
    if (!mapi.ready) return;
    mapi.ready = false;
    if (mapi.resolved_recipient != nullptr) {
        mapi.entries.free_buffer(mapi.resolved_recipient);
        mapi.entries.logoff(mapi.session, 0, 0, 0);
    }
    unload();
}
