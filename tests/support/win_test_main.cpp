// Entry of the Windows test binaries: the program's resources are linked into the
// test executable itself, so it is the module that texts and dialogs load from.
#include <gtest/gtest.h>

#include "app/app_instance.h"

int main(int argc, char** argv)
{
    app_instance = GetModuleHandleA(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
