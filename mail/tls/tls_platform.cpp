#include "mail/tls/tls_platform.h"

#include "platform/system_library.h"

namespace {

struct SspiEntry {
    INIT_SECURITY_INTERFACE_A initialize;
};

const EntryPoint sspi_rows[] = {{SECURITY_ENTRYPOINT_ANSIA, store_entry<&SspiEntry::initialize>}};

struct VersionEntry {
    LONG(WINAPI* get_version)(OSVERSIONINFOW*);
};

// The true version whatever the manifest says (GetVersionEx answers by the manifest).
const EntryPoint version_rows[] = {{"RtlGetVersion", store_entry<&VersionEntry::get_version>}};

DWORD windows_build()
{
    VersionEntry version{};
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll"); // in every process, never loaded here
    if (ntdll == nullptr || !look_up_entry_points(ntdll, version_rows, version) || version.get_version(&info) != 0)
        return 0;
    return info.dwBuildNumber;
}

const EntryPoint certificate_rows[] = {
    {"CertGetCertificateChain", store_entry<&CertificateFunctions::get_chain>},
    {"CertVerifyCertificateChainPolicy", store_entry<&CertificateFunctions::verify_policy>},
    {"CertFreeCertificateChain", store_entry<&CertificateFunctions::free_chain>},
    {"CertFreeCertificateContext", store_entry<&CertificateFunctions::free_certificate>},
};

} // namespace

bool tls_platform_load(TlsPlatform& platform)
{
    platform = TlsPlatform{};
    platform.secur32 = load_system_library("secur32.dll");
    platform.crypt32 = load_system_library("crypt32.dll");
    SspiEntry sspi{};
    if (platform.secur32 == nullptr || platform.crypt32 == nullptr ||
        !look_up_entry_points(platform.secur32, sspi_rows, sspi) ||
        !look_up_entry_points(platform.crypt32, certificate_rows, platform.certificates))
        return false;
    platform.sspi = sspi.initialize();
    platform.windows_build = windows_build();
    return platform.sspi != nullptr;
}

void tls_platform_unload(TlsPlatform& platform)
{
    if (platform.secur32 != nullptr) FreeLibrary(platform.secur32);
    if (platform.crypt32 != nullptr) FreeLibrary(platform.crypt32);
    platform = TlsPlatform{};
}
