// A scripted stand-in for SChannel and the certificate functions, linked in place
// of mail/tls/tls_platform.cpp. Each call to AcquireCredentialsHandle,
// InitializeSecurityContext or DecryptMessage takes the next step of the script
// and answers as Windows does for that status: a step that takes more input than
// has come answers SEC_E_INCOMPLETE_MESSAGE and waits, the bytes after what a step
// takes come back as SECBUFFER_EXTRA, and DecryptMessage hands its plaintext out
// in place. A table of steps, not an emulator: records are opaque bytes here.
#ifndef TULVO_TEST_SCRIPTED_SCHANNEL_H
#define TULVO_TEST_SCRIPTED_SCHANNEL_H

#include "mail/tls/tls_platform.h"

#include <string>
#include <vector>

enum class SspiCall { Acquire, Initialize, Decrypt };

struct SspiStep {
    SspiCall call;
    SECURITY_STATUS status;
    std::string takes;  // Initialize, Decrypt: the input this step consumes
    std::string output; // Initialize: the token sent; Decrypt: the plaintext
};

struct SspiScript {
    std::vector<SspiStep> steps;
    DWORD protocol;                                            // what SECPKG_ATTR_CONNECTION_INFO reports
    DWORD windows_build = 22631;                               // Windows 11 23H2
    std::size_t trusted_checks = static_cast<std::size_t>(-1); // certificate checks that pass
};

// What the program handed to the package.
struct SspiRecord {
    std::vector<DWORD> credential_versions; // of each record offered
    std::vector<DWORD> credential_flags;
    std::vector<DWORD> enabled_protocols;  // of the older record, 0 for the newer
    std::vector<DWORD> disabled_protocols; // of the newer record, 0 for the older
    std::vector<std::string> initialize_inputs;
    std::vector<std::string> decrypt_inputs;
    std::size_t steps_taken = 0;
    std::size_t certificate_checks = 0;
};

void script_schannel(const SspiScript& script);
const SspiRecord& schannel_record();

#endif
