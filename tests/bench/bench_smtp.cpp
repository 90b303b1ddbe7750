// Delivers whole messages to the SMTP server named by the fixture's environment
// and prints the time and the polling pauses per conversation: plain under
// smtp_fixture.py; under smtps_fixture.py over TLS on port 465 and after STARTTLS
// on port 587 (handshakes and certificate checks included).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/servers/tls_fixture_client.h"
#include "tests/support/smtp_send.h"

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

struct Figures {
    double total_ms = 0;
    double slowest_ms = 0;
    long pauses = 0;
};

Figures converse(const char* server, int port, int rounds, const std::string& body)
{
    Figures figures;
    const long pauses_before = bench_pauses;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < rounds; ++i) {
        QueryPerformanceCounter(&start);
        const Letter letter{"bench", "secret", "bench@example.org", "boss@example.org", "Bench " + std::to_string(i),
                            body};
        if (!send_letter(server, port, letter, SendMode::Silent, nullptr, GetTickCount64() + 60000)) return figures;
        QueryPerformanceCounter(&end);
        const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
        figures.total_ms += ms;
        if (ms > figures.slowest_ms) figures.slowest_ms = ms;
    }
    figures.pauses = bench_pauses - pauses_before;
    return figures;
}

void print(const char* what, int rounds, int delivered, const Figures& figures)
{
    std::printf("%s conversations: %d, delivered: %d\n", what, rounds, delivered);
    std::printf("time per conversation: %.1f ms (slowest %.1f ms)\n", figures.total_ms / rounds, figures.slowest_ms);
    std::printf("polling pauses per conversation: %.2f (of 50 ms each)\n",
                static_cast<double>(figures.pauses) / rounds);
}

// Each message the TLS fixture's server took, counted by its subject.
int delivered_over_tls(int rounds)
{
    const std::string last = ask_tls_fixture("message");
    return last.find("Bench " + std::to_string(rounds - 1)) != std::string::npos ? rounds : 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* tls_control = std::getenv("TULVO_TEST_TLS_CONTROL");
    const char* port = std::getenv("TULVO_TEST_SMTP_PORT");
    const char* spool = std::getenv("TULVO_TEST_SMTP_SPOOL");
    if (tls_control == nullptr && (port == nullptr || spool == nullptr)) {
        std::fprintf(stderr, "run through tests/support/servers/smtp_fixture.py or smtps_fixture.py\n");
        return 2;
    }
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    const std::string body = "The PC goes off in a minute.\r\n.\r\nSecond line.";
    if (tls_control == nullptr) {
        const Figures plain = converse("127.0.0.1", std::atoi(port), rounds, body);
        const int delivered = spooled_messages(spool);
        print("plain", rounds, delivered, plain);
        return delivered == rounds ? 0 : 1;
    }
    bool all = true;
    const struct {
        const char* mode;
        int port;
        const char* what;
    } tls_rows[] = {{"trusted", 465, "TLS (port 465)"}, {"starttls", 587, "STARTTLS (port 587)"}};
    for (const auto& row : tls_rows) {
        if (ask_tls_fixture(std::string("serve ") + row.mode) != "ready") return 2;
        const Figures figures = converse("localhost", row.port, rounds, body);
        const int delivered = delivered_over_tls(rounds);
        print(row.what, rounds, delivered, figures);
        all = all && delivered == rounds;
    }
    return all ? 0 : 1;
}
