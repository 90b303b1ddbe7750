// A scripted SMTP peer for the Windows tests: listens on 127.0.0.1 (a free port),
// serves one connection on a thread of its own and records every byte it receives.
// After the greeting, each command the client completes (a line ended by CR LF;
// after "DATA", the message up to its terminating dot line) is answered with the
// next scripted reply. When the replies run out the server closes the connection.
#ifndef TULVO_TEST_SCRIPTED_SMTP_SERVER_H
#define TULVO_TEST_SCRIPTED_SMTP_SERVER_H

#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_helpers.h"

// One reply, sent as these chunks with a pause between them (TCP_NODELAY on), once
// the clock the client reads (system_milliseconds, which a test may run fast) has
// moved on by delay_ms since the command came.
struct ScriptedReply {
    std::vector<std::string> chunks;
    int gap_ms = 0;
    std::uint64_t delay_ms = 0;
};

ScriptedReply reply(const std::string& bytes);
ScriptedReply reply_after(std::uint64_t delay_ms, const std::string& bytes);
// The bytes cut into two chunks at the given position.
ScriptedReply reply_split_at(const std::string& bytes, std::size_t position, int gap_ms);
// One chunk per byte.
ScriptedReply reply_bytewise(const std::string& bytes, int gap_ms);

struct SmtpScript {
    bool greet = true; // false: accept and stay silent
    ScriptedReply greeting;
    std::vector<ScriptedReply> replies;
    // Not 0: after the greeting, answers nothing and sends one byte of a line end
    // every trickle_ms instead, which keeps a reply wait alive without deciding it.
    int trickle_ms = 0;
    // 0: a free port. Tests of a port's own dialect name it (and hold its lock).
    std::uint16_t port = 0;
};

class ScriptedSmtpServer {
public:
    explicit ScriptedSmtpServer(SmtpScript script);
    ~ScriptedSmtpServer();
    ScriptedSmtpServer(const ScriptedSmtpServer&) = delete;
    ScriptedSmtpServer& operator=(const ScriptedSmtpServer&) = delete;

    std::uint16_t port() const { return port_; }
    // Whether a client has connected.
    bool connected() const { return connected_; }
    // Waits (bounded) until the client has closed or the script ended, then gives
    // every byte received.
    std::string received();

private:
    void serve();
    void serve_client(SOCKET client);
    bool send_reply(SOCKET client, const ScriptedReply& reply);

    const WinsockStarted winsock_;
    SmtpScript script_;
    SOCKET listener_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> connected_{false};
    std::atomic<bool> finished_{false};
    std::mutex mutex_;
    std::string received_;
    std::thread thread_;
};

// A listening port on 127.0.0.1 whose queue of connections is full and never
// accepted: a connect to it neither succeeds nor fails, as with a host that drops
// packets.
class UnansweredPort {
public:
    UnansweredPort();
    ~UnansweredPort();
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;
    std::uint16_t port() const { return port_; }

private:
    const WinsockStarted winsock_;
    SOCKET listener_ = INVALID_SOCKET;
    std::vector<SOCKET> fillers_;
    std::uint16_t port_ = 0;
};

#endif
