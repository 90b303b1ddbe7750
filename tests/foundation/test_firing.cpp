#include <gtest/gtest.h>

#include <windows.h>

#include "scheduler/firing.h"
#include "tests/support/shutdown_recorder.h"

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
        recorded_shutdown_requests.clear();
        ASSERT_FALSE(quit_message_posted());
        fire(c.choices);
        ASSERT_EQ(recorded_shutdown_requests.size(), 1u);
        EXPECT_EQ(recorded_shutdown_requests[0], c.flags);
        EXPECT_TRUE(quit_message_posted());
    }
}
