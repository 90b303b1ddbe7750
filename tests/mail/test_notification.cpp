#include <gtest/gtest.h>

#include <winsock2.h>

#include "app/resource.h"
#include "mail/notification.h"
#include "mail/smtp/connection.h"
#include "settings/mail_settings.h"
#include "tests/support/fake_mapi_control.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/owner_window.h"
#include "tests/support/test_helpers.h"

namespace {

using Lines = std::vector<std::string>;

const Lines full_mapi_send{"MAPILogon", "MAPIResolveName", "MAPISendMail", "MAPIFreeBuffer", "MAPILogoff"};

void use_settings(const char* server = "127.0.0.1", int port = 25)
{
    use_smtp_server(server, port);
    mail_settings.subject = cp1251("Выключение");
    mail_settings.body = cp1251("Компьютер выключается");
}

// What the nested operations of a re-entrance test did.
Lines nested;
HWND nested_owner;

void record(const std::string& what) { nested.push_back(what); }

} // namespace

TEST(NotificationTestSend, MapiMakesOneLogonOneSendAndOneLogoff)
{
    use_settings();
    FakeMapi fake;
    MessageBoxWatcher watcher;
    OwnerWindow owner;
    test_send(owner.handle(), true);
    EXPECT_EQ(fake.entries(), full_mapi_send);
    EXPECT_EQ(fake.calls()[1], "MAPIResolveName session=7 ui=0 name=[admin@example.org] flags=0 reserved=0");
    EXPECT_NE(fake.calls()[2].find("subject=[" + mail_settings.subject + "] note=[" + mail_settings.body + "]"),
              std::string::npos);
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_FALSE(mapi32_loaded());
}

TEST(NotificationTestSend, MapiFailureInAnyStepShowsExactlyOneMessage)
{
    struct Case {
        const char* failing;
        std::wstring message;
        Lines calls;
    };
    const Case cases[] = {
        {"MAPILogon", text_of(IDS_MAPI_UNUSABLE), {"MAPILogon"}},
        {"MAPIResolveName",
         text_with_value(IDS_BAD_RECIPIENT, "admin@example.org"),
         {"MAPILogon", "MAPIResolveName", "MAPILogoff"}},
        {"MAPISendMail", text_of(IDS_MAPI_SEND_FAILED), full_mapi_send},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        use_settings();
        FakeMapi fake;
        fake.fail(c.failing);
        MessageBoxWatcher watcher;
        OwnerWindow owner;
        test_send(owner.handle(), true);
        expect_one_error_box(watcher.boxes(), c.message, owner.handle());
        EXPECT_EQ(fake.entries(), c.calls);
        EXPECT_FALSE(mapi32_loaded());
    }
}

TEST(NotificationArming, MapiArmingSendsNothingUntilTheFiringWhichSendsAndReleases)
{
    use_settings();
    FakeMapi fake;
    MessageBoxWatcher watcher;
    OwnerWindow owner;
    ASSERT_EQ(arm_notification(owner.handle(), true), 0);
    EXPECT_EQ(fake.entries(), (Lines{"MAPILogon", "MAPIResolveName"}));
    EXPECT_TRUE(mapi32_loaded());
    test_send(owner.handle(), true); // the tab locks the test button while armed; refused all the same
    EXPECT_EQ(fake.entries().size(), 2u);
    send_before_shutdown(true, a_minute_from_now());
    EXPECT_EQ(fake.entries(), full_mapi_send);
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_FALSE(mapi32_loaded());
    send_before_shutdown(true, a_minute_from_now()); // spent: nothing is held any more
    EXPECT_EQ(fake.entries(), full_mapi_send);
}

TEST(NotificationArming, MapiSilentSendFailureShowsNothingAndStillReleases)
{
    use_settings();
    FakeMapi fake;
    MessageBoxWatcher watcher;
    ASSERT_EQ(arm_notification(nullptr, true), 0);
    fake.fail("MAPISendMail");
    send_before_shutdown(true, a_minute_from_now());
    EXPECT_EQ(fake.entries(), full_mapi_send);
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_FALSE(mapi32_loaded());
}

TEST(NotificationArming, DisarmingReleasesWithoutSending)
{
    use_settings();
    FakeMapi fake;
    ASSERT_EQ(arm_notification(nullptr, true), 0);
    disarm_notification(true);
    EXPECT_EQ(fake.entries(), (Lines{"MAPILogon", "MAPIResolveName", "MAPIFreeBuffer", "MAPILogoff"}));
    EXPECT_FALSE(mapi32_loaded());
    ASSERT_EQ(arm_notification(nullptr, true), 0) << "a disarmed notification can be armed again";
    disarm_notification(true);
    EXPECT_EQ(fake.entries().size(), 8u);
}

TEST(NotificationArming, FailedMapiArmingLeavesNothingPrepared)
{
    use_settings();
    FakeMapi fake;
    fake.fail("MAPIResolveName");
    MessageBoxWatcher watcher;
    OwnerWindow owner;
    EXPECT_LT(arm_notification(owner.handle(), true), 0);
    expect_one_error_box(watcher.boxes(), text_with_value(IDS_BAD_RECIPIENT, "admin@example.org"), owner.handle());
    send_before_shutdown(true, a_minute_from_now());
    disarm_notification(true);
    EXPECT_EQ(fake.entries(), (Lines{"MAPILogon", "MAPIResolveName", "MAPILogoff"}));
    EXPECT_FALSE(mapi32_loaded());
    EXPECT_EQ(watcher.boxes().size(), 1u);
}

TEST(NotificationArming, FiringWithoutArmingTouchesNoTransport)
{
    use_settings();
    FakeMapi fake;
    MessageBoxWatcher watcher;
    send_before_shutdown(true, a_minute_from_now());
    send_before_shutdown(false, a_minute_from_now());
    EXPECT_TRUE(fake.calls().empty());
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_EQ(smtp_connection.socket_handle, 0u);
}

// Re-entrance: the mail client's logon window runs a nested loop in which the main
// window's timer and commands are served; the fake client calls back from inside
// its logon as such a command would arrive.
TEST(NotificationReentrance, NoSecondOperationStartsDuringATestSend)
{
    use_settings();
    FakeMapi fake;
    MessageBoxWatcher watcher;
    OwnerWindow owner;
    nested.clear();
    nested_owner = owner.handle();
    fake.on_call([](const char* entry) {
        if (lstrcmpA(entry, "MAPILogon") != 0) return;
        record("arm " + std::to_string(arm_notification(nested_owner, true)));
        test_send(nested_owner, true);
        send_before_shutdown(true, a_minute_from_now());
        disarm_notification(true);
    });
    test_send(owner.handle(), true);
    EXPECT_EQ(nested, (Lines{"arm 1"}));
    EXPECT_EQ(fake.entries(), full_mapi_send);
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_FALSE(mapi32_loaded());
}

TEST(NotificationReentrance, NoTestSendOrSecondArmingStartsDuringAnArming)
{
    use_settings();
    FakeMapi fake;
    MessageBoxWatcher watcher;
    OwnerWindow owner;
    nested.clear();
    nested_owner = owner.handle();
    fake.on_call([](const char* entry) {
        if (lstrcmpA(entry, "MAPILogon") != 0) return;
        record("arm " + std::to_string(arm_notification(nested_owner, true)));
        test_send(nested_owner, true);
    });
    ASSERT_EQ(arm_notification(owner.handle(), true), 0);
    fake.on_call(nullptr);
    EXPECT_EQ(nested, (Lines{"arm 1"}));
    EXPECT_EQ(fake.entries(), (Lines{"MAPILogon", "MAPIResolveName"}));
    send_before_shutdown(true, a_minute_from_now());
    EXPECT_EQ(fake.entries(), full_mapi_send);
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(NotificationReentrance, FiringOrDisarmingDuringAnArmingSendsNothingAndTheArmingLetsGo)
{
    for (bool firing : {true, false}) {
        SCOPED_TRACE(firing ? "firing" : "disarming");
        use_settings();
        FakeMapi fake;
        MessageBoxWatcher watcher;
        fake.on_call(firing ? FakeMapiCallback([](const char* entry) {
            if (lstrcmpA(entry, "MAPILogon") == 0) send_before_shutdown(true, a_minute_from_now());
        })
                            : FakeMapiCallback([](const char* entry) {
                                  if (lstrcmpA(entry, "MAPILogon") == 0) disarm_notification(true);
                              }));
        EXPECT_GT(arm_notification(nullptr, true), 0);
        EXPECT_EQ(fake.entries(), (Lines{"MAPILogon", "MAPIResolveName", "MAPIFreeBuffer", "MAPILogoff"}));
        EXPECT_TRUE(watcher.boxes().empty());
        EXPECT_FALSE(mapi32_loaded());
        fake.on_call(nullptr);
        send_before_shutdown(true, a_minute_from_now());
        EXPECT_EQ(fake.entries().size(), 4u) << "the withdrawn arming left something to send through";
    }
}

// A failure message of an arming runs a nested loop too.
TEST(NotificationReentrance, FiringDuringTheFailureMessageOfAnArmingSendsNothing)
{
    use_settings();
    FakeMapi fake;
    fake.fail("MAPIResolveName");
    MessageBoxWatcher watcher;
    nested.clear();
    OwnerWindow owner([] {
        if (!nested.empty()) return;
        record("in box");
        send_before_shutdown(true, a_minute_from_now());
        test_send(nullptr, true);
    });
    EXPECT_LT(arm_notification(owner.handle(), true), 0);
    EXPECT_EQ(nested, (Lines{"in box"}));
    EXPECT_EQ(fake.entries(), (Lines{"MAPILogon", "MAPIResolveName", "MAPILogoff"}));
    EXPECT_EQ(watcher.boxes().size(), 1u);
    EXPECT_FALSE(mapi32_loaded());
}

TEST(NotificationSmtp, ArmingWithAnUnresolvableServerShowsTheConnectionsMessageAndHoldsNothing)
{
    use_settings("no-such-host.invalid");
    MessageBoxWatcher watcher;
    nested.clear();
    OwnerWindow owner([] {
        if (!nested.empty()) return;
        record("in box");
        send_before_shutdown(false, a_minute_from_now());
        test_send(nullptr, false);
    });
    EXPECT_LT(arm_notification(owner.handle(), false), 0);
    EXPECT_EQ(nested, (Lines{"in box"}));
    expect_one_error_box(watcher.boxes(), text_with_value(IDS_BAD_RECIPIENT, "no-such-host.invalid"), owner.handle());
    EXPECT_EQ(smtp_connection.socket_handle, 0u);
    send_before_shutdown(false, a_minute_from_now());
    EXPECT_EQ(watcher.boxes().size(), 1u);
}

TEST(NotificationSmtp, ServerRefusingConnectionsArmsAndTheFiringFailsSilentlyAndReleases)
{
    use_settings("127.0.0.1", closed_loopback_port());
    MessageBoxWatcher watcher;
    ASSERT_EQ(arm_notification(nullptr, false), 0);
    EXPECT_NE(smtp_connection.socket_handle, 0u);
    send_before_shutdown(false, a_minute_from_now());
    EXPECT_EQ(smtp_connection.socket_handle, 0u);
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(NotificationSmtp, TestSendToAServerRefusingConnectionsShowsOneMessageAndReleases)
{
    use_settings("127.0.0.1", closed_loopback_port());
    MessageBoxWatcher watcher;
    OwnerWindow owner;
    test_send(owner.handle(), false);
    expect_one_error_box(watcher.boxes(), text_of(IDS_SMTP_NO_CONNECTION), owner.handle());
    EXPECT_EQ(smtp_connection.socket_handle, 0u);
}
