// Where tulvo_recorded.exe records its system calls, read back by the tests: in the
// temporary folder of the Wine prefix, so that runs in two prefixes share no file.
#ifndef TULVO_TEST_RECORDED_FILES_H
#define TULVO_TEST_RECORDED_FILES_H

#include <windows.h>

#include <string>

// <temporary folder>tulvo_recorded.<name>
inline std::string recorded_file(const char* name)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "tulvo_recorded." + name;
}

#endif
