#include <gtest/gtest.h>

#include <windows.h>

#include "scheduler/firing.h"
#include "tests/support/system_double.h"

namespace {

bool quit_message_posted()
{
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

} // namespace

TEST(Firing, ActionCodeFollowsTheCheckedRadio)
{
    EXPECT_EQ(action_code({true, false, false, false}), ACTION_POWER_OFF);
    EXPECT_EQ(action_code({false, true, false, false}), ACTION_REBOOT);
    EXPECT_EQ(action_code({false, false, false, false}), ACTION_LOG_OFF);
    EXPECT_EQ(action_code({true, true, false, false}), ACTION_POWER_OFF);
}

TEST(Firing, OneForcedRequestPerFireThenQuit)
{
    struct Case {
        FiringChoices choices;
        unsigned flags;
    } cases[] = {
        {{true, false, false, false}, 12},
        {{false, true, false, false}, 6},
        {{false, false, false, true}, 4},
    };
    for (const Case& c : cases) {
        reset_system_double();
        ASSERT_FALSE(quit_message_posted());
        fire(c.choices);
        const std::vector<ShutdownRequest> requests = shutdown_requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].flags, c.flags);
        EXPECT_EQ(requests[0].reason, 0x80000000u); // planned, major and minor "other"
        EXPECT_TRUE(quit_message_posted());
    }
}
