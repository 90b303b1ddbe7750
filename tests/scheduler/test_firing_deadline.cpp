// The firing with the notification armed: the request follows within a minute of
// the firing's start whatever the mail transport does. The test's clock runs twenty
// times as fast meanwhile, so a minute passes in three seconds.
#include <gtest/gtest.h>

#include <winsock2.h>

#include "mail/notification.h"
#include "scheduler/firing.h"
#include "platform/system_calls.h"
#include "settings/mail_settings.h"
#include "tests/support/fake_mapi_control.h"
#include "tests/support/servers/scripted_smtp_server.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/system_double.h"

namespace {

const std::uint64_t firing_limit_ms = 60000;
const FiringChoices power_off_mailing_by_smtp{ShutdownAction::PowerOff, true, false};
const FiringChoices power_off_mailing_by_mapi{ShutdownAction::PowerOff, true, true};

// Fires with SMTP armed for a server on port; the one request, and how long after the start it came.
std::uint64_t fire_smtp_armed(int port)
{
    use_smtp_server("127.0.0.1", port);
    EXPECT_EQ(arm_notification(nullptr, false), 0);
    reset_system_double();
    FastClock fast;
    const std::uint64_t started_ms = system_milliseconds();
    fire(power_off_mailing_by_smtp);
    EXPECT_TRUE(quit_posted());
    const std::vector<ShutdownRequest> requests = shutdown_requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? ~0ull : requests[0].at_ms - started_ms;
}

bool requested_during_send;

} // namespace

TEST(FiringDeadline, AServerThatTricklesBytesCannotHoldTheRequestBack)
{
    MessageBoxWatcher watcher;
    SmtpScript trickle;
    trickle.greeting = reply("220 hi\r\n");
    trickle.trickle_ms = 100;
    ScriptedSmtpServer server(trickle);
    EXPECT_LE(fire_smtp_armed(server.port()), firing_limit_ms);
    EXPECT_EQ(server.received().rfind("HELO ", 0), 0u) << "the conversation began";
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(FiringDeadline, AConnectThatIsNeverAnsweredCannotHoldTheRequestBack)
{
    MessageBoxWatcher watcher;
    UnansweredPort unanswered;
    EXPECT_LE(fire_smtp_armed(unanswered.port()), firing_limit_ms);
    EXPECT_TRUE(watcher.boxes().empty());
}

// A refused request of the watch is made once more when the send returns.
TEST(FiringDeadline, AMailClientThatDoesNotReturnCannotHoldTheRequestBack)
{
    struct Case {
        std::size_t refused;
        std::size_t requests;
    } cases[] = {{0, 1}, {1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused);
        use_smtp_server("127.0.0.1", 25);
        FakeMapi fake;
        MessageBoxWatcher watcher;
        ASSERT_EQ(arm_notification(nullptr, true), 0);
        reset_system_double();
        refuse_shutdown_requests(c.refused);
        requested_during_send = false;
        // The client sits in its send (asking a user who is not there) until the request has been made.
        fake.on_call([](const char* entry) {
            if (lstrcmpA(entry, "MAPISendMail") == 0) requested_during_send = wait_for_shutdown_requests(1);
        });
        std::uint64_t started_ms = 0;
        {
            FastClock fast;
            started_ms = system_milliseconds();
            fire(power_off_mailing_by_mapi);
        }
        EXPECT_TRUE(requested_during_send);
        EXPECT_TRUE(quit_posted());
        const std::vector<ShutdownRequest> requests = shutdown_requests();
        ASSERT_EQ(requests.size(), c.requests);
        EXPECT_LE(requests[0].at_ms - started_ms, firing_limit_ms);
        for (const ShutdownRequest& request : requests)
            EXPECT_EQ(request.flags, static_cast<unsigned>(EWX_POWEROFF | EWX_FORCE));
        EXPECT_EQ(fake.entries(), (std::vector<std::string>{"MAPILogon", "MAPIResolveName", "MAPISendMail",
                                                            "MAPIFreeBuffer", "MAPILogoff"}));
        EXPECT_TRUE(watcher.boxes().empty());
    }
}
