// What a TLS session needs of Windows, loaded from the system folder for one
// session only: SChannel's function table (secur32) and the certificate chain
// functions (crypt32). A program that never speaks TLS carries neither. Tests put a
// scripted stand-in in place of tls_platform.cpp at link time.
#ifndef TULVO_TLS_PLATFORM_H
#define TULVO_TLS_PLATFORM_H

#include <windows.h>

#include <wincrypt.h>
#define SCHANNEL_USE_BLACKLISTS
#include <subauth.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

struct CertificateFunctions {
    decltype(&CertGetCertificateChain) get_chain;
    decltype(&CertVerifyCertificateChainPolicy) verify_policy;
    decltype(&CertFreeCertificateChain) free_chain;
    decltype(&CertFreeCertificateContext) free_certificate;
};

struct TlsPlatform {
    PSecurityFunctionTableA sspi;
    CertificateFunctions certificates;
    DWORD windows_build; // what SChannel can do depends on it
    HMODULE secur32;
    HMODULE crypt32;
};

// false when a library or an entry point is missing; unload in every case.
bool tls_platform_load(TlsPlatform& platform);
void tls_platform_unload(TlsPlatform& platform);

#endif
