#include "tests/support/system_double.h"

#include <windows.h>

#include <atomic>
#include <mutex>

#include "platform/system_calls.h"
#include "tests/support/moved_clock.h"
#include "tests/support/test_helpers.h"

namespace {

std::mutex mutex;
std::vector<ShutdownRequest> requests;
std::vector<bool> awake_calls;
std::size_t refusals_left = 0;
std::size_t profile_write_count = 0;
std::atomic<std::uint64_t> offset_ms{0};

} // namespace

bool system_shutdown_request(unsigned flags, unsigned reason)
{
    const std::uint64_t at_ms = system_milliseconds();
    std::lock_guard<std::mutex> lock(mutex);
    requests.push_back({flags, reason, at_ms});
    if (refusals_left == 0) return true;
    --refusals_left;
    return false;
}

void system_profile_write(const wchar_t* section, const wchar_t* key, const wchar_t* value, const wchar_t* path)
{
    WritePrivateProfileStringW(section, key, value, path);
    std::lock_guard<std::mutex> lock(mutex);
    ++profile_write_count;
}

void system_keep_awake(bool on)
{
    std::lock_guard<std::mutex> lock(mutex);
    awake_calls.push_back(on);
}

std::uint64_t system_milliseconds() { return GetTickCount64() + offset_ms.load(); }

LocalTime system_local_time() { return local_time_after(offset_ms.load()); }

std::vector<ShutdownRequest> shutdown_requests()
{
    std::lock_guard<std::mutex> lock(mutex);
    return requests;
}

std::vector<bool> keep_awake_calls()
{
    std::lock_guard<std::mutex> lock(mutex);
    return awake_calls;
}

void refuse_shutdown_requests(std::size_t count)
{
    std::lock_guard<std::mutex> lock(mutex);
    refusals_left = count;
}

std::size_t profile_writes()
{
    std::lock_guard<std::mutex> lock(mutex);
    return profile_write_count;
}

void advance_clock(std::uint64_t ms) { offset_ms += ms; }

namespace {

const DWORD fast_step_ms = 20;

DWORD WINAPI run_fast(void* parameter)
{
    const FastClock& clock = *static_cast<const FastClock*>(parameter);
    while (WaitForSingleObject(clock.stop_event(), fast_step_ms) == WAIT_TIMEOUT)
        advance_clock(fast_step_ms * (clock.factor() - 1));
    return 0;
}

} // namespace

FastClock::FastClock(unsigned factor)
    : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), factor_(factor),
      thread_(CreateThread(nullptr, 0, run_fast, this, 0, nullptr))
{
}

FastClock::~FastClock()
{
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(stop_);
}

void reset_system_double()
{
    std::lock_guard<std::mutex> lock(mutex);
    requests.clear();
    awake_calls.clear();
    refusals_left = 0;
    profile_write_count = 0;
    offset_ms = 0;
}

bool wait_for_shutdown_requests(std::size_t count, unsigned timeout_ms)
{
    return wait_for([count] { return shutdown_requests().size() >= count; }, timeout_ms);
}
