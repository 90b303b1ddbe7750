#include "scheduler/system_request.h"

#include <windows.h>

void system_shutdown_request(unsigned flags)
{
    ExitWindowsEx(flags, 0);
}
