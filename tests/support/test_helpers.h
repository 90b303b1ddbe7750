// Small helpers shared by the Windows tests.
#ifndef TULVO_TEST_HELPERS_H
#define TULVO_TEST_HELPERS_H

#include <windows.h>

#include <functional>

// Polls condition every few milliseconds until it holds or timeout_ms has passed.
bool wait_for(const std::function<bool()>& condition, DWORD timeout_ms = 10000);

// A loopback port on which nobody listens: bound once by the system's choice, then closed.
int closed_loopback_port();

#endif
