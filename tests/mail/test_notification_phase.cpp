#include <gtest/gtest.h>

#include "mail/notification_phase.h"

TEST(NotificationPhase, AnOperationStartsOnlyWhenNothingIsUnderWayOrHeld)
{
    EXPECT_TRUE(may_prepare(NotificationPhase::Disarmed));
    for (NotificationPhase busy : {NotificationPhase::Arming, NotificationPhase::ArmingWithdrawn,
                                   NotificationPhase::Armed, NotificationPhase::Testing, NotificationPhase::Releasing})
        EXPECT_FALSE(may_prepare(busy)) << static_cast<int>(busy);
    // Only an armed transport is sent through or released; an arming under way lets go instead.
    EXPECT_EQ(withdrawal(NotificationPhase::Armed), Withdrawal::UseTransport);
    EXPECT_EQ(withdrawal(NotificationPhase::Arming), Withdrawal::WithdrawArming);
    for (NotificationPhase idle :
         {NotificationPhase::Disarmed, NotificationPhase::Testing, NotificationPhase::Releasing})
        EXPECT_EQ(withdrawal(idle), Withdrawal::Nothing) << static_cast<int>(idle);
}

TEST(NotificationPhase, AnArmingEndsArmedOnlyUndisturbedAndLetsGoOfWhatItPreparedOtherwise)
{
    struct Case {
        NotificationPhase during;
        bool prepared;
        bool armed;
        bool release_now;
    } cases[] = {
        {NotificationPhase::Arming, true, true, false},
        {NotificationPhase::Arming, false, false, false},
        {NotificationPhase::ArmingWithdrawn, true, false, true},
        {NotificationPhase::ArmingWithdrawn, false, false, false},
    };
    for (const Case& c : cases) {
        const ArmingOutcome outcome = finish_arming(c.during, c.prepared);
        EXPECT_EQ(outcome.armed, c.armed) << static_cast<int>(c.during) << c.prepared;
        EXPECT_EQ(outcome.release_now, c.release_now) << static_cast<int>(c.during) << c.prepared;
        EXPECT_EQ(outcome.next, c.armed ? NotificationPhase::Armed : NotificationPhase::Disarmed);
    }
}
