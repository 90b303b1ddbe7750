// Test double for the system calls the program makes through app/system_calls.h:
// records every shutdown and keep-awake request instead of making it, counts the
// settings file's writes (made as asked), and runs the
// clocks on from the real ones by whatever a test has advanced them. Safe to use
// from several threads (the firing's watch makes its request from its own).
#ifndef TULVO_TEST_SYSTEM_DOUBLE_H
#define TULVO_TEST_SYSTEM_DOUBLE_H

#include <cstddef>
#include <cstdint>
#include <vector>

struct ShutdownRequest {
    unsigned flags;
    unsigned reason;
    std::uint64_t at_ms; // system_milliseconds() when it was made
};

std::vector<ShutdownRequest> shutdown_requests();
// true for "keep awake", false for "may sleep again", in the order asked.
std::vector<bool> keep_awake_calls();

// The next count shutdown requests are recorded and reported refused.
void refuse_shutdown_requests(std::size_t count);

// Writes to a settings file since the last reset.
std::size_t profile_writes();

// Moves both clocks (monotonic and local time) on, as if that much time passed at once.
void advance_clock(std::uint64_t ms);

// While it lives, the clocks run factor times as fast as real time.
class FastClock {
public:
    explicit FastClock(unsigned factor = 20);
    ~FastClock();
    FastClock(const FastClock&) = delete;
    FastClock& operator=(const FastClock&) = delete;
    void* stop_event() const { return stop_; }
    unsigned factor() const { return factor_; }

private:
    void* stop_;
    unsigned factor_;
    void* thread_;
};

// Forgets every request and puts the clocks back to the real ones.
void reset_system_double();

// Waits (bounded) until at least count requests have been recorded.
bool wait_for_shutdown_requests(std::size_t count, unsigned timeout_ms = 10000);

#endif
