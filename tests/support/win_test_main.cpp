// Entry of the Windows test binaries: the program's resources are linked into the
// test executable itself, so it is the module that texts and dialogs load from.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/app_instance.h"

namespace {

// Under Wine, the first window call of a process loads the display driver, and a
// first window of a class that the manifest maps to common controls 6 loads
// comctl32; both happen under the loader lock. Tests run the code under test on
// this thread while a second one watches or drives its windows, and when that one
// brings the driver in while this one loads comctl32 the two deadlock. One window,
// made and destroyed here before any test starts a thread, loads both up front.
void load_window_system()
{
    DestroyWindow(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, app_instance, nullptr));
}

} // namespace

int main(int argc, char** argv)
{
    // A test process that dies still shows how far it got.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    app_instance = GetModuleHandleA(nullptr);
    load_window_system();
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    // Wine has been seen, rarely, to hang while a finished test process unloads its
    // DLLs; the results are written, so the process ends here without that step.
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(failed));
    return failed;
}
