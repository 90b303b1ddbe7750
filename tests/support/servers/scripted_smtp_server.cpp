#include "tests/support/servers/scripted_smtp_server.h"

#include "platform/system_calls.h"
#include "tests/support/test_helpers.h"

#include <ws2tcpip.h>

#include <chrono>

namespace {

const int poll_ms = 20;
const auto finish_limit = std::chrono::seconds(30);

// Readable within poll_ms.
bool readable(SOCKET s)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait = {0, poll_ms * 1000};
    return select(0, &set, nullptr, nullptr, &wait) > 0;
}

// Where the command that starts at `from` ends in `bytes` (past its CR LF, or
// past the dot line in message mode); npos while incomplete.
std::size_t command_end(const std::string& bytes, std::size_t from, bool message)
{
    if (message) {
        const std::string terminator = "\r\n.\r\n";
        const std::size_t at = bytes.find(terminator, from);
        return at == std::string::npos ? at : at + terminator.size();
    }
    const std::size_t at = bytes.find("\r\n", from);
    return at == std::string::npos ? at : at + 2;
}

} // namespace

ScriptedReply reply(const std::string& bytes) { return ScriptedReply{{bytes}, 0}; }

ScriptedReply reply_after(std::uint64_t delay_ms, const std::string& bytes)
{
    ScriptedReply r = reply(bytes);
    r.delay_ms = delay_ms;
    return r;
}

ScriptedReply reply_split_at(const std::string& bytes, std::size_t position, int gap_ms)
{
    if (position == 0 || position >= bytes.size()) return reply(bytes);
    return ScriptedReply{{bytes.substr(0, position), bytes.substr(position)}, gap_ms};
}

ScriptedReply reply_bytewise(const std::string& bytes, int gap_ms)
{
    ScriptedReply r;
    for (char c : bytes) r.chunks.push_back(std::string(1, c));
    r.gap_ms = gap_ms;
    return r;
}

ScriptedSmtpServer::ScriptedSmtpServer(SmtpScript script) : script_(std::move(script))
{
    port_ = script_.port;
    listener_ = loopback_listener(port_);
    listen(listener_, 1);
    thread_ = std::thread([this] { serve(); });
}

ScriptedSmtpServer::~ScriptedSmtpServer()
{
    stop_ = true;
    thread_.join();
    closesocket(listener_);
}

std::string ScriptedSmtpServer::received()
{
    const auto deadline = std::chrono::steady_clock::now() + finish_limit;
    while (!finished_ && std::chrono::steady_clock::now() < deadline) Sleep(poll_ms);
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void ScriptedSmtpServer::serve()
{
    while (!stop_ && !readable(listener_)) {
    }
    if (!stop_) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        connected_ = client != INVALID_SOCKET;
        if (client != INVALID_SOCKET) {
            serve_client(client);
            closesocket(client);
        }
    }
    finished_ = true;
}

bool ScriptedSmtpServer::send_reply(SOCKET client, const ScriptedReply& reply)
{
    const std::uint64_t due_ms = system_milliseconds() + reply.delay_ms;
    while (system_milliseconds() < due_ms && !stop_) Sleep(5);
    for (std::size_t i = 0; i < reply.chunks.size(); ++i) {
        if (i > 0 && reply.gap_ms > 0) Sleep(reply.gap_ms);
        const std::string& chunk = reply.chunks[i];
        if (send(client, chunk.data(), static_cast<int>(chunk.size()), 0) != static_cast<int>(chunk.size()))
            return false;
    }
    return true;
}

void ScriptedSmtpServer::serve_client(SOCKET client)
{
    BOOL no_delay = TRUE;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay), sizeof no_delay);
    if (script_.greet && !send_reply(client, script_.greeting)) return;

    std::string bytes;
    std::size_t command_start = 0;
    bool message = false;
    std::size_t next_reply = 0;
    auto next_trickle = std::chrono::steady_clock::now();
    for (unsigned trickled = 0; !stop_;) {
        if (script_.trickle_ms > 0 && std::chrono::steady_clock::now() >= next_trickle) {
            if (send(client, &"\r\n"[trickled++ % 2], 1, 0) != 1) return;
            next_trickle += std::chrono::milliseconds(script_.trickle_ms);
        }
        if (!readable(client)) continue;
        char chunk[512];
        const int got = recv(client, chunk, sizeof chunk, 0);
        if (got <= 0) return;
        bytes.append(chunk, got);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            received_ = bytes;
        }
        if (!script_.greet || script_.trickle_ms > 0) continue;
        for (std::size_t end; (end = command_end(bytes, command_start, message)) != std::string::npos;) {
            const bool data_command = !message && bytes.compare(command_start, end - command_start, "DATA\r\n") == 0;
            message = data_command;
            command_start = end;
            if (next_reply == script_.replies.size()) return;
            if (!send_reply(client, script_.replies[next_reply++])) return;
        }
    }
}

UnansweredPort::UnansweredPort()
{
    listener_ = loopback_listener(port_);
    listen(listener_, 0);
    // The queue holds one connection more than the backlog; these fill it.
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port_);
    for (int i = 0; i < 2; ++i) {
        const SOCKET filler = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        u_long non_blocking = 1;
        ioctlsocket(filler, FIONBIO, &non_blocking);
        connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        fillers_.push_back(filler);
    }
}

UnansweredPort::~UnansweredPort()
{
    for (SOCKET filler : fillers_) closesocket(filler);
    closesocket(listener_);
}
