#include <gtest/gtest.h>

#include <windows.h>

#include "scheduler/firing.h"
#include "tests/support/system_double.h"
#include "tests/support/test_helpers.h"

namespace {

} // namespace

// A request Windows refuses is made once more; refused again, the firing says so
// and the loop goes on (the settings may be written again).
TEST(Firing, OneForcedRequestPerFireThenQuitOrOneMoreWhenRefused)
{
    struct Case {
        FiringChoices choices;
        unsigned flags;
        std::size_t refused;
        std::size_t requests;
    } cases[] = {
        {{ShutdownAction::PowerOff, false, false}, 12, 0, 1}, {{ShutdownAction::Reboot, false, false}, 6, 0, 1},
        {{ShutdownAction::LogOff, false, true}, 4, 0, 1},     {{ShutdownAction::PowerOff, false, false}, 12, 1, 2},
        {{ShutdownAction::PowerOff, false, false}, 12, 2, 2},
    };
    for (const Case& c : cases) {
        reset_system_double();
        refuse_shutdown_requests(c.refused);
        ASSERT_FALSE(quit_posted());
        const bool taken = fire(c.choices);
        const std::vector<ShutdownRequest> requests = shutdown_requests();
        ASSERT_EQ(requests.size(), c.requests);
        EXPECT_EQ(requests[0].flags, c.flags);
        EXPECT_EQ(requests[0].reason, 0x80000000u); // planned, major and minor "other"
        EXPECT_EQ(taken, c.refused < 2);
        EXPECT_EQ(quit_posted(), taken);
        EXPECT_EQ(shutdown_requested(), taken);
    }
}
