// Test double for the shutdown seam: records every request instead of making it.
#ifndef TULVO_TEST_SHUTDOWN_RECORDER_H
#define TULVO_TEST_SHUTDOWN_RECORDER_H

#include <vector>

extern std::vector<unsigned> recorded_shutdown_requests;

#endif
