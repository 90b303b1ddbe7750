// The clock shared between a whole-program test and tulvo_recorded.exe: a named
// mapping that holds how far the test has moved the program's clocks on.
#ifndef TULVO_TEST_RECORDED_CLOCK_H
#define TULVO_TEST_RECORDED_CLOCK_H

#define RECORDED_CLOCK_MAPPING "tulvo_recorded_clock"

struct RecordedClock {
    volatile long long offset_ms; // added to the real monotonic and local clocks
};

#endif
