// The local time as a clock that a test has moved on would show it.
#ifndef TULVO_TEST_MOVED_CLOCK_H
#define TULVO_TEST_MOVED_CLOCK_H

#include <cstdint>

#include "platform/local_time.h"

// The real local time plus ms milliseconds.
LocalTime local_time_after(std::uint64_t ms);

#endif
