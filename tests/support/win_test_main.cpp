// Entry of the Windows test binaries: the program's resources are linked into the
// test executable itself, so it is the module that texts and dialogs load from.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/app_instance.h"

int main(int argc, char** argv)
{
    app_instance = GetModuleHandleA(nullptr);
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    // Wine has been seen, rarely, to hang while a finished test process unloads its
    // DLLs; the results are written, so the process ends here without that step.
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(failed));
    return failed;
}
