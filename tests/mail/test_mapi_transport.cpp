#include <gtest/gtest.h>

#include "app/resource.h"
#include "mail/mapi_transport.h"
#include "tests/support/fake_mapi_control.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/owner_window.h"

namespace {

const char logon_line[] = "MAPILogon ui=0 profile=null password=null flags=3 reserved=0";
const char logoff_line[] = "MAPILogoff session=7 ui=0 flags=0 reserved=0";
const char free_line[] = "MAPIFreeBuffer buffer=resolved";

std::string resolve_line(const std::string& name)
{
    return "MAPIResolveName session=7 ui=0 name=[" + name + "] flags=0 reserved=0";
}

// The fake client logs CR and LF as \r and \n.
std::string logged(const std::string& text)
{
    std::string escaped;
    for (char c : text) escaped += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return escaped;
}

std::string send_line(const std::string& subject, const std::string& note)
{
    return "MAPISendMail session=7 ui=0 flags=0 reserved=0 subject=[" + logged(subject) + "] note=[" + logged(note) +
           "] recips=1 class=1 recip=resolved originator=null type=null date=null conversation=null files=0 "
           "msgflags=0";
}

using Lines = std::vector<std::string>;

} // namespace

TEST(MapiTransport, OnlyTheSystemFoldersCopyIsLoadedNotOneBesideTheProgramOrInTheCurrentFolder)
{
    FakeMapi fake;
    MessageBoxWatcher watcher;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string current = std::string(temp) + "tulvo_current_folder";
    CreateDirectoryA(current.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(FakeMapi::built_dll().c_str(), (current + "\\mapi32.dll").c_str(), FALSE));
    ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
    ASSERT_NE(GetFileAttributesA((test_program_folder() + "mapi32.dll").c_str()), INVALID_FILE_ATTRIBUTES)
        << "a copy stands beside the test program";

    ASSERT_EQ(mapi_prepare(nullptr, "someone"), 0);
    const std::string loaded = loaded_mapi32_path();
    mapi_release();
    SetCurrentDirectoryA(temp);
    EXPECT_EQ(lstrcmpiA(loaded.c_str(), system_mapi32().c_str()), 0) << loaded;
    EXPECT_EQ(fake.loads().size(), 1u);
    EXPECT_FALSE(mapi32_loaded());
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(MapiTransport, PrepareSendReleaseMakeThePublishedCallsInOrder)
{
    FakeMapi fake;
    MessageBoxWatcher watcher;
    OwnerWindow owner;
    const std::string recipient = "user@example.org", subject = cp1251("Выключение");
    const std::string body = cp1251("Компьютер выключается\r\nсейчас\r\n");
    ASSERT_EQ(mapi_prepare(owner.handle(), recipient), 0);
    EXPECT_TRUE(mapi32_loaded());
    EXPECT_EQ(fake.calls(), (Lines{logon_line, resolve_line(recipient)}));
    mapi_send(owner.handle(), subject, body, SendMode::Interactive);
    mapi_release();
    EXPECT_EQ(fake.calls(),
              (Lines{logon_line, resolve_line(recipient), send_line(subject, body), free_line, logoff_line}));
    EXPECT_FALSE(mapi32_loaded());
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(MapiTransport, EmptyRecipientSubjectAndBodyArePassedAsEmptyTexts)
{
    FakeMapi fake;
    MessageBoxWatcher watcher;
    ASSERT_EQ(mapi_prepare(nullptr, ""), 0);
    mapi_send(nullptr, "", "", SendMode::Silent);
    mapi_release();
    EXPECT_EQ(fake.calls(), (Lines{logon_line, resolve_line(""), send_line("", ""), free_line, logoff_line}));
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(MapiTransport, TwoRoundsEachLoadLogOnResolveLogOffAndUnload)
{
    FakeMapi fake;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(mapi_prepare(nullptr, "a"), 0);
        mapi_send(nullptr, "s", "b", SendMode::Silent);
        mapi_release();
        EXPECT_FALSE(mapi32_loaded());
    }
    const Lines one_round{"MAPILogon", "MAPIResolveName", "MAPISendMail", "MAPIFreeBuffer", "MAPILogoff"};
    Lines two_rounds = one_round;
    two_rounds.insert(two_rounds.end(), one_round.begin(), one_round.end());
    EXPECT_EQ(fake.entries(), two_rounds);
}

TEST(MapiTransport, EachFailureShowsItsOneMessageAndUnloads)
{
    struct Case {
        const char* failing;
        const char* recipient;  // UTF-8
        bool recipient_follows; // the failure names the recipient
        Lines calls;
    };
    const Case cases[] = {
        {"MAPILogon", "user@example.org", false, {"MAPILogon"}},
        {"MAPIResolveName", "Иван Петров <ivan>", true, {"MAPILogon", "MAPIResolveName", "MAPILogoff"}},
        {"MAPIResolveName", "", true, {"MAPILogon", "MAPIResolveName", "MAPILogoff"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.failing) + " for [" + c.recipient + "]");
        FakeMapi fake;
        fake.fail(c.failing);
        MessageBoxWatcher watcher;
        OwnerWindow owner;
        const std::string recipient = cp1251(c.recipient);
        EXPECT_EQ(mapi_prepare(owner.handle(), recipient), -1);
        expect_one_error_box(watcher.boxes(),
                             c.recipient_follows ? text_with_value(IDS_BAD_RECIPIENT, recipient)
                                                 : text_of(IDS_MAPI_UNUSABLE),
                             owner.handle());
        EXPECT_EQ(fake.entries(), c.calls);
        EXPECT_FALSE(mapi32_loaded());
        if (c.calls.size() > 1) {
            EXPECT_EQ(fake.calls()[1], resolve_line(recipient));
        }
    }
}

TEST(MapiTransport, ALibraryLackingAnEntryPointCountsAsAFailedLogon)
{
    for (const char* lacking : {"MAPILogon", "MAPIResolveName", "MAPISendMail", "MAPILogoff", "MAPIFreeBuffer"}) {
        SCOPED_TRACE(lacking);
        FakeMapi fake(lacking);
        MessageBoxWatcher watcher;
        OwnerWindow owner;
        EXPECT_EQ(mapi_prepare(owner.handle(), "user"), -1);
        expect_one_error_box(watcher.boxes(), text_of(IDS_MAPI_UNUSABLE), owner.handle());
        EXPECT_TRUE(fake.calls().empty());
        EXPECT_FALSE(mapi32_loaded()) << "the transport kept a reference";
    }
}

// A failed send is shown only when interactive, and the session still releases. A
// session the client no longer knows (it was restarted since the arming) gets one
// fresh logon and one more send.
TEST(MapiTransport, ShownOnlyWhenInteractiveAfterOneFreshLogonForALostSession)
{
    const Lines sent_twice = {"MAPILogon",       "MAPIResolveName", "MAPISendMail",   "MAPIFreeBuffer", "MAPILogon",
                              "MAPIResolveName", "MAPISendMail",    "MAPIFreeBuffer", "MAPILogoff"};
    const struct {
        const char* what;
        const char* failing;
        const char* ended;
        bool shown;
        Lines entries;
    } rows[] = {
        {"send refused",
         "MAPISendMail",
         "",
         true,
         {"MAPILogon", "MAPIResolveName", "MAPISendMail", "MAPIFreeBuffer", "MAPILogoff"}},
        {"session lost", "", "7", false, sent_twice},
        {"the fresh session lost too", "", "7,8", true, sent_twice},
    };
    for (const auto& row : rows) {
        for (SendMode mode : {SendMode::Interactive, SendMode::Silent}) {
            SCOPED_TRACE(std::string(row.what) + (mode == SendMode::Silent ? ", silent" : ", interactive"));
            FakeMapi fake;
            fake.fail(row.failing);
            fake.end_sessions(row.ended);
            MessageBoxWatcher watcher;
            OwnerWindow owner;
            ASSERT_EQ(mapi_prepare(owner.handle(), "user"), 0);
            mapi_send(owner.handle(), "s", "b", mode);
            if (row.shown && mode == SendMode::Interactive)
                expect_one_error_box(watcher.boxes(), text_of(IDS_MAPI_SEND_FAILED), owner.handle());
            else
                EXPECT_TRUE(watcher.boxes().empty());
            mapi_release();
            EXPECT_EQ(fake.entries(), row.entries);
            EXPECT_FALSE(mapi32_loaded());
        }
    }
}

TEST(MapiTransport, FailedReleaseCallsAreNotExamined)
{
    FakeMapi fake;
    fake.fail("MAPIFreeBuffer,MAPILogoff");
    MessageBoxWatcher watcher;
    ASSERT_EQ(mapi_prepare(nullptr, "user"), 0);
    mapi_release();
    EXPECT_FALSE(mapi32_loaded());
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(MapiTransport, WithoutAPreparedSessionSendAndReleaseDoNothing)
{
    FakeMapi fake;
    MessageBoxWatcher watcher;
    mapi_send(nullptr, "s", "b", SendMode::Interactive);
    mapi_release();
    EXPECT_TRUE(fake.calls().empty());
    EXPECT_TRUE(watcher.boxes().empty());
    ASSERT_EQ(mapi_prepare(nullptr, "user"), -0);
    mapi_release();
    mapi_send(nullptr, "s", "b", SendMode::Interactive);
    mapi_release();
    EXPECT_EQ(fake.entries(), (Lines{"MAPILogon", "MAPIResolveName", "MAPIFreeBuffer", "MAPILogoff"}));
}

// Re-entrance: the mail client's logon window runs a nested loop in which the main
// window's commands are served; the fake client calls back from inside its calls.
namespace {

Lines nested_results;

void nested_operations(const char* entry)
{
    if (lstrcmpA(entry, "MAPILogon") != 0 && lstrcmpA(entry, "MAPISendMail") != 0) return;
    nested_results.push_back(std::string(entry) + " prepare=" + std::to_string(mapi_prepare(nullptr, "other")));
    mapi_send(nullptr, "nested", "nested", SendMode::Interactive);
    mapi_release();
}

} // namespace

TEST(MapiTransport, NoSecondOperationStartsInsideACallIntoTheClient)
{
    FakeMapi fake;
    MessageBoxWatcher watcher;
    nested_results.clear();
    fake.on_call(nested_operations);
    ASSERT_EQ(mapi_prepare(nullptr, "user"), 0);
    mapi_send(nullptr, "s", "b", SendMode::Interactive);
    fake.on_call(nullptr);
    EXPECT_TRUE(mapi32_loaded()) << "a nested release took the session away";
    mapi_release();
    EXPECT_EQ(nested_results, (Lines{"MAPILogon prepare=-1", "MAPISendMail prepare=-1"}));
    EXPECT_EQ(fake.calls(), (Lines{logon_line, resolve_line("user"), send_line("s", "b"), free_line, logoff_line}));
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_FALSE(mapi32_loaded());
}
