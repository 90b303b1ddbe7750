#include "tests/support/scripted_schannel.h"

#include <cstring>

#include "mail/tls/tls_platform.h"

namespace {

SspiScript script;
SspiRecord record;
bool shutting_down;
// After close_notify the context stays expired, whatever is decrypted next.
bool expired;

const SecPkgContext_StreamSizes stream_sizes = {5, 16, 16384, 4, 16};
CERT_CONTEXT server_certificate;
CERT_CHAIN_CONTEXT trusted_chain;

// The next step, which must be of this call; a call the script did not expect fails.
const SspiStep* next_step(SspiCall call)
{
    if (record.steps_taken >= script.steps.size() || script.steps[record.steps_taken].call != call) return nullptr;
    return &script.steps[record.steps_taken];
}

std::string bytes_of(const SecBuffer& buffer)
{
    return buffer.pvBuffer ? std::string(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer) : std::string();
}

SECURITY_STATUS SEC_ENTRY acquire(LPSTR, LPSTR, unsigned long, void*, void* data, SEC_GET_KEY_FN, void*, PCredHandle,
                                  PTimeStamp)
{
    // Both records start with their version.
    const DWORD version = *static_cast<const DWORD*>(data);
    record.credential_versions.push_back(version);
    if (version == SCHANNEL_CRED_VERSION) {
        const auto* older = static_cast<const SCHANNEL_CRED*>(data);
        record.credential_flags.push_back(older->dwFlags);
        record.enabled_protocols.push_back(older->cCreds == 0 ? older->grbitEnabledProtocols : 0xFFFFFFFF);
        record.disabled_protocols.push_back(0);
    } else {
        const auto* current = static_cast<const SCH_CREDENTIALS*>(data);
        record.credential_flags.push_back(current->cCreds == 0 ? current->dwFlags : 0xFFFFFFFF);
        record.enabled_protocols.push_back(0);
        record.disabled_protocols.push_back(
            current->cTlsParameters == 1 ? current->pTlsParameters->grbitDisabledProtocols : 0xFFFFFFFF);
    }
    const SspiStep* step = next_step(SspiCall::Acquire);
    if (step == nullptr) return SEC_E_INTERNAL_ERROR;
    ++record.steps_taken;
    return step->status;
}

char* copy_out(const std::string& bytes)
{
    char* copy = new char[bytes.size() + 1];
    std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

SECURITY_STATUS SEC_ENTRY initialize(PCredHandle, PCtxtHandle, SEC_CHAR*, unsigned long, unsigned long, unsigned long,
                                     PSecBufferDesc input, unsigned long, PCtxtHandle, PSecBufferDesc output,
                                     unsigned long*, PTimeStamp)
{
    if (shutting_down) {
        shutting_down = false;
        output->pBuffers[0] = {3, SECBUFFER_TOKEN, copy_out("BYE")};
        return SEC_E_OK;
    }
    const std::string given = input ? bytes_of(input->pBuffers[0]) : std::string();
    record.initialize_inputs.push_back(given);
    const SspiStep* step = next_step(SspiCall::Initialize);
    if (step == nullptr) return SEC_E_INTERNAL_ERROR;
    if (given.compare(0, step->takes.size(), step->takes) != 0) return SEC_E_INCOMPLETE_MESSAGE;
    ++record.steps_taken;
    if (!step->output.empty())
        output->pBuffers[0] = {static_cast<unsigned long>(step->output.size()), SECBUFFER_TOKEN,
                               copy_out(step->output)};
    // Asked for a client certificate, the package stops before taking the input.
    const std::size_t left = step->status == SEC_I_INCOMPLETE_CREDENTIALS ? 0 : given.size() - step->takes.size();
    if (input && left > 0) input->pBuffers[1] = {static_cast<unsigned long>(left), SECBUFFER_EXTRA, nullptr};
    return step->status;
}

SECURITY_STATUS SEC_ENTRY decrypt(PCtxtHandle, PSecBufferDesc message, unsigned long, unsigned long*)
{
    SecBuffer* parts = message->pBuffers;
    const std::string given = bytes_of(parts[0]);
    record.decrypt_inputs.push_back(given);
    if (expired) return SEC_I_CONTEXT_EXPIRED;
    const SspiStep* step = next_step(SspiCall::Decrypt);
    if (step == nullptr) return SEC_E_INTERNAL_ERROR;
    if (given.compare(0, step->takes.size(), step->takes) != 0) return SEC_E_INCOMPLETE_MESSAGE;
    ++record.steps_taken;
    // In place, as the package decrypts: a record is longer than its plaintext.
    if (step->output.size() > step->takes.size()) return SEC_E_INTERNAL_ERROR;
    char* at = static_cast<char*>(parts[0].pvBuffer);
    std::memcpy(at, step->output.data(), step->output.size());
    parts[1] = {static_cast<unsigned long>(step->output.size()), SECBUFFER_DATA, at};
    const std::size_t left = given.size() - step->takes.size();
    if (left > 0) parts[2] = {static_cast<unsigned long>(left), SECBUFFER_EXTRA, at + step->takes.size()};
    expired = step->status == SEC_I_CONTEXT_EXPIRED;
    return step->status;
}

SECURITY_STATUS SEC_ENTRY encrypt(PCtxtHandle, unsigned long, PSecBufferDesc message, unsigned long)
{
    std::memset(message->pBuffers[0].pvBuffer, '[', message->pBuffers[0].cbBuffer);
    std::memset(message->pBuffers[2].pvBuffer, ']', message->pBuffers[2].cbBuffer);
    return SEC_E_OK;
}

SECURITY_STATUS SEC_ENTRY query(PCtxtHandle, unsigned long attribute, void* buffer)
{
    switch (attribute) {
    case SECPKG_ATTR_STREAM_SIZES: *static_cast<SecPkgContext_StreamSizes*>(buffer) = stream_sizes; return SEC_E_OK;
    case SECPKG_ATTR_CONNECTION_INFO:
        *static_cast<SecPkgContext_ConnectionInfo*>(buffer) = {script.protocol, 0, 0, 0, 0, 0, 0};
        return SEC_E_OK;
    case SECPKG_ATTR_REMOTE_CERT_CONTEXT: *static_cast<PCCERT_CONTEXT*>(buffer) = &server_certificate; return SEC_E_OK;
    default: return SEC_E_UNSUPPORTED_FUNCTION;
    }
}

SECURITY_STATUS SEC_ENTRY apply_control(PCtxtHandle, PSecBufferDesc)
{
    shutting_down = true;
    return SEC_E_OK;
}

SECURITY_STATUS SEC_ENTRY free_buffer(void* buffer)
{
    delete[] static_cast<char*>(buffer);
    return SEC_E_OK;
}

SECURITY_STATUS SEC_ENTRY delete_context(PCtxtHandle) { return SEC_E_OK; }
SECURITY_STATUS SEC_ENTRY free_credentials(PCredHandle) { return SEC_E_OK; }

SecurityFunctionTableA table;

BOOL WINAPI get_chain(HCERTCHAINENGINE, PCCERT_CONTEXT, LPFILETIME, HCERTSTORE, PCERT_CHAIN_PARA, DWORD, LPVOID,
                      PCCERT_CHAIN_CONTEXT* chain)
{
    *chain = &trusted_chain;
    return TRUE;
}

BOOL WINAPI verify_policy(LPCSTR, PCCERT_CHAIN_CONTEXT, PCERT_CHAIN_POLICY_PARA, PCERT_CHAIN_POLICY_STATUS status)
{
    status->dwError = record.certificate_checks++ < script.trusted_checks ? 0 : CERT_E_UNTRUSTEDROOT;
    return TRUE;
}

VOID WINAPI free_chain(PCCERT_CHAIN_CONTEXT) {}
BOOL WINAPI free_certificate(PCCERT_CONTEXT) { return TRUE; }

} // namespace

void script_schannel(const SspiScript& new_script)
{
    script = new_script;
    record = SspiRecord{};
    shutting_down = false;
    expired = false;
}

const SspiRecord& schannel_record() { return record; }

bool tls_platform_load(TlsPlatform& platform)
{
    table = SecurityFunctionTableA{};
    table.AcquireCredentialsHandleA = acquire;
    table.InitializeSecurityContextA = initialize;
    table.DecryptMessage = decrypt;
    table.EncryptMessage = encrypt;
    table.QueryContextAttributesA = query;
    table.ApplyControlToken = apply_control;
    table.FreeContextBuffer = free_buffer;
    table.DeleteSecurityContext = delete_context;
    table.FreeCredentialsHandle = free_credentials;
    platform = TlsPlatform{};
    platform.sspi = &table;
    platform.certificates = {get_chain, verify_policy, free_chain, free_certificate};
    platform.windows_build = script.windows_build;
    return true;
}

void tls_platform_unload(TlsPlatform& platform) { platform = TlsPlatform{}; }
