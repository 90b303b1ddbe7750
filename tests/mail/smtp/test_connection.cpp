#include <gtest/gtest.h>

#include "app/message_texts.h"
#include "app/resource.h"
#include "mail/smtp/connection.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/test_helpers.h"

namespace {

// Windows Sockets is ended for this process exactly when no start-up is left.
bool winsock_ended()
{
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (probe != INVALID_SOCKET) closesocket(probe);
    return probe == INVALID_SOCKET && WSAGetLastError() == WSANOTINITIALISED;
}

bool is_open_socket(SOCKET s)
{
    int type = 0;
    int length = sizeof type;
    return getsockopt(s, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length) == 0 && type == SOCK_STREAM;
}

// Bound to a port the system chose, on any local address.
bool is_bound_anywhere(SOCKET s)
{
    sockaddr_in local = {};
    int length = sizeof local;
    return getsockname(s, reinterpret_cast<sockaddr*>(&local), &length) == 0 && local.sin_family == AF_INET &&
           local.sin_port != 0 && local.sin_addr.s_addr == htonl(INADDR_ANY);
}

} // namespace

TEST(SmtpConnection, UnresolvableNameShowsTheBadAddressTextWithTheNameAndLeavesNothingOpen)
{
    ASSERT_TRUE(winsock_ended());
    MessageBoxWatcher watcher;
    EXPECT_EQ(smtp_prepare(nullptr, "no-such-host.invalid"), -3);
    EXPECT_EQ(smtp_connection.socket_handle, 0u);
    EXPECT_TRUE(winsock_ended());
    expect_one_error_box(watcher.boxes(), text_with_value(IDS_BAD_RECIPIENT, "no-such-host.invalid"), nullptr);
}

TEST(SmtpConnection, ADottedAddressOrANameResolvesAndLeavesABoundSocket)
{
    for (const char* server : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(server);
        MessageBoxWatcher watcher;
        ASSERT_EQ(smtp_prepare(nullptr, server), 0);
        EXPECT_EQ(smtp_connection.server_address, htonl(INADDR_LOOPBACK));
        EXPECT_TRUE(is_open_socket(smtp_connection.socket_handle));
        EXPECT_TRUE(is_bound_anywhere(smtp_connection.socket_handle));
        smtp_release();
        EXPECT_TRUE(winsock_ended());
        EXPECT_TRUE(watcher.boxes().empty());
    }
}

TEST(SmtpConnection, PrepareReleasePrepareMakesAFreshSocketEachTime)
{
    WinsockStarted held;
    ASSERT_EQ(smtp_prepare(nullptr, "127.0.0.1"), 0);
    const SOCKET first = smtp_connection.socket_handle;
    ASSERT_TRUE(is_open_socket(first));
    smtp_release();
    EXPECT_EQ(smtp_connection.socket_handle, 0u);
    EXPECT_FALSE(is_open_socket(first));

    ASSERT_EQ(smtp_prepare(nullptr, "127.0.0.1"), 0);
    EXPECT_TRUE(is_open_socket(smtp_connection.socket_handle));
    EXPECT_TRUE(is_bound_anywhere(smtp_connection.socket_handle));
    smtp_release();
    EXPECT_EQ(smtp_connection.socket_handle, 0u);
}

TEST(SmtpConnection, ReleaseWithoutASocketStillEndsWindowsSockets)
{
    ASSERT_TRUE(winsock_ended());
    WSADATA startup;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 0), &startup), 0);
    ASSERT_EQ(smtp_connection.socket_handle, 0u);
    smtp_release();
    EXPECT_EQ(smtp_connection.socket_handle, 0u);
    EXPECT_TRUE(winsock_ended());
}
