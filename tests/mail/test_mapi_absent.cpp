// Run with mapi32 disabled in Wine: as on a computer without a mail client.
#include <gtest/gtest.h>

#include "app/resource.h"
#include "mail/mapi_transport.h"
#include "mail/notification.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/test_helpers.h"

TEST(MapiAbsent, NoClientLibraryShowsTextSixAndHoldsNothing)
{
    MessageBoxWatcher watcher;
    const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(mapi_prepare(owner, "user"), -1);
    expect_one_error_box(watcher.boxes(), text_of(IDS_NO_MAPI), owner);
    EXPECT_EQ(GetModuleHandleA("mapi32.dll"), nullptr);
    // Nothing is held: a send and a release that follow touch nothing and show nothing.
    mapi_send(owner, "s", "b", SendMode::Interactive);
    mapi_release();
    EXPECT_EQ(watcher.boxes().size(), 1u);
    DestroyWindow(owner);
}

TEST(MapiAbsent, ArmingWithoutAClientShowsTextSixAndLeavesNothingToSendThrough)
{
    MessageBoxWatcher watcher;
    EXPECT_LT(arm_notification(nullptr, true), 0);
    send_before_shutdown(true, a_minute_from_now());
    const std::vector<SeenBox> boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text_of(IDS_NO_MAPI));
    EXPECT_EQ(GetModuleHandleA("mapi32.dll"), nullptr);
}
