#include "tests/support/shutdown_recorder.h"

#include "scheduler/system_request.h"

std::vector<unsigned> recorded_shutdown_requests;

void system_shutdown_request(unsigned flags)
{
    recorded_shutdown_requests.push_back(flags);
}
