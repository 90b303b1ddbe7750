// The test side of the fake mail client (fake_mapi32.h): scripts it for one test
// and reads back the calls it received.
#ifndef TULVO_TEST_FAKE_MAPI_CONTROL_H
#define TULVO_TEST_FAKE_MAPI_CONTROL_H

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/fake_mapi32.h"

class FakeMapi {
public:
    // Puts the double into the system folder as "mapi32.dll" (the copy that lacks
    // the entry point named by lacking, if given) and starts a fresh, empty call
    // log; every entry point succeeds. Tests that use it share the CTest resource
    // lock system_mapi32.
    explicit FakeMapi(const char* lacking = nullptr);
    // Unscripts the double and deletes the log.
    ~FakeMapi();
    FakeMapi(const FakeMapi&) = delete;
    FakeMapi& operator=(const FakeMapi&) = delete;

    // Comma-separated entry point names that are to fail from now on.
    void fail(const char* entries);
    // Comma-separated entry point names that are never to return from now on.
    void hang(const char* entries);
    // Comma-separated session handles the client no longer knows from now on.
    void end_sessions(const char* handles);
    // Called inside every entry point; nullptr for none.
    void on_call(FakeMapiCallback callback);

    // Every call so far, one log line each.
    std::vector<std::string> calls() const;
    // The entry point names of calls(), in order.
    std::vector<std::string> entries() const;
    // The full path of every copy of the double that was loaded, in order.
    std::vector<std::string> loads() const;

    // The double as built, to be copied where a test wants it.
    static std::string built_dll();

private:
    std::string log_path_;
    std::string loads_path_;
};

// Whether a module named "mapi32.dll" is loaded in this process.
bool mapi32_loaded();

// Full path of the loaded "mapi32.dll" ("" when none is loaded).
std::string loaded_mapi32_path();

// The folder of the test program, ending in a backslash.
std::string test_program_folder();

// The system folder's "mapi32.dll", where the program looks for the mail client.
std::string system_mapi32();

#endif
