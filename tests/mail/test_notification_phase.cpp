#include <gtest/gtest.h>

#include "mail/notification_phase.h"

namespace {

const NotificationPhase every_phase[] = {
    NotificationPhase::Disarmed, NotificationPhase::Arming,  NotificationPhase::ArmingWithdrawn,
    NotificationPhase::Armed,    NotificationPhase::Testing, NotificationPhase::Releasing,
};

} // namespace

TEST(NotificationPhase, OnlyAnIdleControlMayPrepareATransport)
{
    for (NotificationPhase phase : every_phase)
        EXPECT_EQ(may_prepare(phase), phase == NotificationPhase::Disarmed) << static_cast<int>(phase);
}

TEST(NotificationPhase, OnlyAnArmedTransportIsSentThroughOrReleased)
{
    for (NotificationPhase phase : every_phase) {
        const Withdrawal expected = phase == NotificationPhase::Armed    ? Withdrawal::UseTransport
                                    : phase == NotificationPhase::Arming ? Withdrawal::WithdrawArming
                                                                         : Withdrawal::Nothing;
        EXPECT_EQ(withdrawal(phase), expected) << static_cast<int>(phase);
    }
}

TEST(NotificationPhase, UndisturbedSuccessfulArmingArms)
{
    const ArmingOutcome outcome = finish_arming(NotificationPhase::Arming, true);
    EXPECT_TRUE(outcome.armed);
    EXPECT_FALSE(outcome.release_now);
    EXPECT_EQ(outcome.next, NotificationPhase::Armed);
}

TEST(NotificationPhase, FailedArmingHoldsNothing)
{
    for (NotificationPhase during : {NotificationPhase::Arming, NotificationPhase::ArmingWithdrawn}) {
        const ArmingOutcome outcome = finish_arming(during, false);
        EXPECT_FALSE(outcome.armed);
        EXPECT_FALSE(outcome.release_now);
        EXPECT_EQ(outcome.next, NotificationPhase::Disarmed);
    }
}

TEST(NotificationPhase, WithdrawnArmingReleasesWhatItPrepared)
{
    const ArmingOutcome outcome = finish_arming(NotificationPhase::ArmingWithdrawn, true);
    EXPECT_FALSE(outcome.armed);
    EXPECT_TRUE(outcome.release_now);
    EXPECT_EQ(outcome.next, NotificationPhase::Disarmed);
}
