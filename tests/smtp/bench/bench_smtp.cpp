// Delivers whole messages to the SMTP server named by the fixture's environment
// and prints the time and the polling pauses per conversation: plain under
// smtp_fixture.py, over TLS on port 465 (handshake and certificate check included)
// under smtps_fixture.py.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "mail/smtp/connection.h"
#include "mail/smtp/dialogue.h"
#include "tests/servers/tls_fixture_client.h"

extern long bench_pauses;

namespace {

int spooled_messages(const char* spool)
{
    int count = 0;
    while (GetFileAttributesA((std::string(spool) + std::to_string(count + 1) + ".envelope").c_str()) !=
           INVALID_FILE_ATTRIBUTES)
        ++count;
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    const char* tls_control = std::getenv("TULVO_TEST_TLS_CONTROL");
    const char* port = tls_control ? "465" : std::getenv("TULVO_TEST_SMTP_PORT");
    const char* spool = std::getenv("TULVO_TEST_SMTP_SPOOL");
    if (tls_control ? ask_tls_fixture("serve trusted") != "ready" : port == nullptr || spool == nullptr) {
        std::fprintf(stderr, "run through tests/servers/smtp_fixture.py or smtps_fixture.py\n");
        return 2;
    }
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    const std::string body = "The PC goes off in a minute.\r\n.\r\nSecond line.";

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    double total_ms = 0;
    double slowest_ms = 0;
    for (int i = 0; i < rounds; ++i) {
        QueryPerformanceCounter(&start);
        if (smtp_prepare(nullptr, tls_control ? "localhost" : "127.0.0.1") != 0) return 1;
        smtp_dialogue(nullptr, std::atoi(port), "bench", "secret", "bench@example.org", "boss@example.org",
                      "Bench " + std::to_string(i), body, SendMode::Silent, GetTickCount64() + 60000);
        smtp_release();
        QueryPerformanceCounter(&end);
        const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
        total_ms += ms;
        if (ms > slowest_ms) slowest_ms = ms;
    }
    const int delivered = tls_control ? rounds : spooled_messages(spool);
    std::printf("%s conversations: %d, delivered: %d\n", tls_control ? "TLS (port 465)" : "plain", rounds,
                delivered);
    std::printf("time per conversation: %.1f ms (slowest %.1f ms)\n", total_ms / rounds, slowest_ms);
    std::printf("polling pauses per conversation: %.2f (of 50 ms each)\n", static_cast<double>(bench_pauses) / rounds);
    return delivered == rounds ? 0 : 1;
}
