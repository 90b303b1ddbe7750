// Small helpers shared by the Windows tests.
#ifndef TULVO_TEST_HELPERS_H
#define TULVO_TEST_HELPERS_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// Polls condition every few milliseconds until it holds or timeout_ms has passed.
bool wait_for(const std::function<bool()>& condition, DWORD timeout_ms = 10000);

// A deadline on the system_milliseconds clock that the code under test will not
// meet unless a test moves the clock on.
std::uint64_t a_minute_from_now();

// The value of key in section MAIL of a settings file, "<missing>" without one.
std::string stored_setting(const std::string& file, const char* key);

// A loopback port on which nobody listens: bound once by the system's choice, then closed.
int closed_loopback_port();

#endif
