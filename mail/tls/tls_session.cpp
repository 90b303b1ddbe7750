#include "mail/tls/tls_session.h"

#include <memory>

#include "platform/paint_only.h"
#include "platform/system_calls.h"
#include "mail/tls/tls_buffers.h"
#include "mail/tls/tls_platform.h"

namespace {

// Never offered. After the handshake the protocol must be one of the allowed ones:
// anything else the package may know of is refused.
const DWORD old_protocols = SP_PROT_SSL2_CLIENT | SP_PROT_SSL3_CLIENT | SP_PROT_TLS1_0_CLIENT | SP_PROT_TLS1_1_CLIENT;

// TLS 1.3 is a released feature of SChannel from this build on (Server 2022,
// Windows 11); older Windows 10 builds have only an experimental client that a
// registry key switches on, which is left out.
const DWORD first_build_with_tls13 = 20348;

// The package is told not to check the certificate: the program does it itself
// after the handshake. Nor does it pick a client certificate from the user's store
// when a server asks for one: the handshake goes on without.
const DWORD credential_flags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
const ULONG request_flags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                            ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;

// A wait for the server polls in these steps, the window painting between them.
const long wait_step_us = 50000;
const std::size_t longest_server_name = 255;

struct TlsSession {
    TlsPlatform platform;
    PSecurityFunctionTableA sspi; // the platform's, for short
    SOCKET socket_handle;
    const char* server_name;
    std::uint64_t deadline_ms;
    CredHandle credentials;
    bool have_credentials;
    CtxtHandle context;
    bool have_context;
    bool established; // handshake done and checked
    bool closed;      // nothing more will come
    SecPkgContext_StreamSizes sizes;
    // On the heap: a record's worth of input would otherwise sit in the program file.
    std::unique_ptr<TlsBuffers> buffers;
};

TlsSession session;

bool deadline_passed() { return system_milliseconds() >= session.deadline_ms; }

bool tls13_released() { return session.platform.windows_build >= first_build_with_tls13; }

// Something to read before the server has been silent too long, and before the deadline.
bool wait_readable()
{
    const std::uint64_t silent_until = system_milliseconds() + SERVER_SILENCE_LIMIT_MS;
    while (!deadline_passed() && system_milliseconds() < silent_until) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(session.socket_handle, &readable);
        timeval wait{0, wait_step_us};
        const int ready = select(0, &readable, nullptr, nullptr, &wait);
        if (ready == SOCKET_ERROR) return false;
        if (ready > 0) return true;
        serve_paint_only();
    }
    return false;
}

bool wait_writable()
{
    while (!deadline_passed()) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(session.socket_handle, &writable);
        timeval wait{0, wait_step_us};
        const int ready = select(0, nullptr, &writable, nullptr, &wait);
        if (ready == SOCKET_ERROR) return false;
        if (ready > 0) return true;
        serve_paint_only();
    }
    return false;
}

bool send_raw(const char* bytes, std::size_t length)
{
    while (length > 0) {
        const int sent = send(session.socket_handle, bytes, static_cast<int>(length), 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK || !wait_writable()) return false;
            continue;
        }
        bytes += sent;
        length -= static_cast<std::size_t>(sent);
    }
    return true;
}

// Waits for the server's next bytes and appends them to the input.
bool read_more()
{
    std::size_t room = 0;
    char* at = input_room(*session.buffers, room);
    if (room == 0 || !wait_readable()) return false;
    const int got = recv(session.socket_handle, at, static_cast<int>(room), 0);
    if (got <= 0) return false;
    input_received(*session.buffers, static_cast<std::size_t>(got));
    return true;
}

bool load_platform()
{
    const bool loaded = tls_platform_load(session.platform);
    session.sspi = session.platform.sspi;
    return loaded;
}

bool acquire_credentials()
{
    TimeStamp expiry;
    TLS_PARAMETERS parameters = {};
    parameters.grbitDisabledProtocols = old_protocols | (tls13_released() ? 0 : SP_PROT_TLS1_3_CLIENT);
    SCH_CREDENTIALS current = {};
    current.dwVersion = SCH_CREDENTIALS_VERSION;
    current.dwFlags = credential_flags;
    current.cTlsParameters = 1;
    current.pTlsParameters = &parameters;
    // Windows before 10 1809 knows only the older record, which cannot offer TLS 1.3.
    SCHANNEL_CRED older = {};
    older.dwVersion = SCHANNEL_CRED_VERSION;
    older.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    older.dwFlags = credential_flags;
    void* const records[] = {&current, &older};
    for (void* record : records) {
        if (session.sspi->AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND,
                                                    nullptr, record, nullptr, nullptr, &session.credentials,
                                                    &expiry) == SEC_E_OK) {
            session.have_credentials = true;
            return true;
        }
    }
    return false;
}

HandshakeStatus handshake_status(SECURITY_STATUS status)
{
    switch (status) {
    case SEC_E_OK: return HandshakeStatus::Done;
    case SEC_I_CONTINUE_NEEDED: return HandshakeStatus::Continue;
    case SEC_I_INCOMPLETE_CREDENTIALS: return HandshakeStatus::CredentialsAsked;
    case SEC_E_INCOMPLETE_MESSAGE: return HandshakeStatus::Incomplete;
    default: return HandshakeStatus::Failed;
    }
}

// One InitializeSecurityContext call over the pending input; what it produced for
// the server is sent at once.
HandshakeNext handshake_step(HandshakeStatus& outcome)
{
    TlsBuffers& buffers = *session.buffers;
    SecBuffer input[2] = {{static_cast<unsigned long>(buffers.input_used), SECBUFFER_TOKEN, buffers.input},
                          {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc input_description = {SECBUFFER_VERSION, 2, input};
    SecBuffer output[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc output_description = {SECBUFFER_VERSION, 1, output};
    ULONG attributes = 0;
    const bool first = !session.have_context;
    const SECURITY_STATUS status = session.sspi->InitializeSecurityContextA(
        &session.credentials, first ? nullptr : &session.context, const_cast<char*>(session.server_name), request_flags,
        0, 0, first ? nullptr : &input_description, 0, &session.context, &output_description, &attributes, nullptr);
    if (first && !FAILED(status)) session.have_context = true;
    bool sent = true;
    const bool token = output[0].pvBuffer != nullptr && output[0].cbBuffer > 0;
    if (output[0].pvBuffer != nullptr) {
        sent = send_raw(static_cast<const char*>(output[0].pvBuffer), output[0].cbBuffer);
        session.sspi->FreeContextBuffer(output[0].pvBuffer);
    }
    const std::size_t extra = input[1].BufferType == SECBUFFER_EXTRA ? input[1].cbBuffer : 0;
    outcome = handshake_status(status);
    const HandshakeNext next = after_handshake_step(buffers, outcome, extra, token);
    return sent ? next : HandshakeNext::Failed;
}

// From the first step, or from whatever the server sent to start a new one. A
// server may ask for a client certificate once per handshake.
bool run_handshake()
{
    bool credentials_asked = false;
    for (;;) {
        if (deadline_passed()) return false;
        HandshakeStatus outcome = HandshakeStatus::Failed;
        const HandshakeNext next = handshake_step(outcome);
        if (outcome == HandshakeStatus::CredentialsAsked) {
            if (credentials_asked) return false;
            credentials_asked = true;
        }
        switch (next) {
        case HandshakeNext::Finished: return true;
        case HandshakeNext::Failed: return false;
        case HandshakeNext::Step: break;
        case HandshakeNext::Read:
            if (!read_more()) return false;
            break;
        }
    }
}

bool modern_protocol()
{
    SecPkgContext_ConnectionInfo info = {};
    if (session.sspi->QueryContextAttributesA(&session.context, SECPKG_ATTR_CONNECTION_INFO, &info) != SEC_E_OK)
        return false;
    const DWORD allowed = SP_PROT_TLS1_2 | (tls13_released() ? SP_PROT_TLS1_3 : 0);
    return info.dwProtocol != 0 && (info.dwProtocol & ~allowed) == 0;
}

// The chain must end in a trusted root with no error anywhere: the policy check
// alone is not relied on to refuse a partial chain (issuer not found).
bool chain_trusted(PCCERT_CHAIN_CONTEXT chain)
{
    wchar_t wide_name[longest_server_name + 1];
    if (MultiByteToWideChar(CP_ACP, 0, session.server_name, -1, wide_name, longest_server_name + 1) == 0) return false;
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA server = {};
    server.cbSize = sizeof server;
    server.dwAuthType = AUTHTYPE_SERVER;
    server.pwszServerName = wide_name;
    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &server;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    return chain->TrustStatus.dwErrorStatus == CERT_TRUST_NO_ERROR &&
           session.platform.certificates.verify_policy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) &&
           status.dwError == 0;
}

bool certificate_trusted()
{
    PCCERT_CONTEXT certificate = nullptr;
    if (session.sspi->QueryContextAttributesA(&session.context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) !=
            SEC_E_OK ||
        certificate == nullptr)
        return false;
    LPSTR server_usage[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA request = {};
    request.cbSize = sizeof request;
    request.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    request.RequestedUsage.Usage.cUsageIdentifier = 1;
    request.RequestedUsage.Usage.rgpszUsageIdentifier = server_usage;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    // The certificate's own store holds the intermediates the server sent.
    const bool built = session.platform.certificates.get_chain(nullptr, certificate, nullptr, certificate->hCertStore,
                                                               &request, 0, nullptr, &chain);
    const bool trusted = built && chain_trusted(chain);
    if (chain != nullptr) session.platform.certificates.free_chain(chain);
    session.platform.certificates.free_certificate(certificate);
    return trusted;
}

// After the handshake and after every renegotiation, which may bring another certificate.
bool session_trusted() { return modern_protocol() && certificate_trusted(); }

DecryptStatus decrypt_status(SECURITY_STATUS status)
{
    switch (status) {
    case SEC_E_OK: return DecryptStatus::Ok;
    case SEC_E_INCOMPLETE_MESSAGE: return DecryptStatus::Incomplete;
    case SEC_I_RENEGOTIATE: return DecryptStatus::Renegotiate;
    case SEC_I_CONTEXT_EXPIRED: return DecryptStatus::Closed;
    default: return DecryptStatus::Failed;
    }
}

DecryptNext decrypt_next()
{
    TlsBuffers& buffers = *session.buffers;
    SecBuffer parts[4] = {{static_cast<unsigned long>(buffers.input_used), SECBUFFER_DATA, buffers.input},
                          {0, SECBUFFER_EMPTY, nullptr},
                          {0, SECBUFFER_EMPTY, nullptr},
                          {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc description = {SECBUFFER_VERSION, 4, parts};
    const SECURITY_STATUS status = session.sspi->DecryptMessage(&session.context, &description, 0, nullptr);
    Decrypted decrypted{decrypt_status(status), nullptr, 0, 0};
    for (int i = 1; i < 4; ++i) {
        if (parts[i].BufferType == SECBUFFER_DATA) {
            decrypted.data = static_cast<const char*>(parts[i].pvBuffer);
            decrypted.data_length = parts[i].cbBuffer;
        }
        if (parts[i].BufferType == SECBUFFER_EXTRA) decrypted.extra_length = parts[i].cbBuffer;
    }
    return after_decrypt(buffers, decrypted);
}

// The close_notify alert, made by one more handshake step after the shutdown token.
void say_goodbye()
{
    DWORD token = SCHANNEL_SHUTDOWN;
    SecBuffer control[1] = {{sizeof token, SECBUFFER_TOKEN, &token}};
    SecBufferDesc control_description = {SECBUFFER_VERSION, 1, control};
    if (session.sspi->ApplyControlToken(&session.context, &control_description) != SEC_E_OK) return;
    SecBuffer output[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc output_description = {SECBUFFER_VERSION, 1, output};
    ULONG attributes = 0;
    session.sspi->InitializeSecurityContextA(&session.credentials, &session.context,
                                             const_cast<char*>(session.server_name), request_flags, 0, 0, nullptr, 0,
                                             &session.context, &output_description, &attributes, nullptr);
    if (output[0].pvBuffer == nullptr) return;
    send_raw(static_cast<const char*>(output[0].pvBuffer), output[0].cbBuffer);
    session.sspi->FreeContextBuffer(output[0].pvBuffer);
}

} // namespace

bool tls_start(SOCKET socket_handle, const char* server_name, std::uint64_t deadline_ms)
{
    tls_end();
    session.socket_handle = socket_handle;
    session.server_name = server_name;
    session.deadline_ms = deadline_ms;
    if (!session.buffers) session.buffers.reset(new TlsBuffers);
    tls_buffers_reset(*session.buffers);
    session.established =
        load_platform() && acquire_credentials() && run_handshake() && session_trusted() &&
        session.sspi->QueryContextAttributesA(&session.context, SECPKG_ATTR_STREAM_SIZES, &session.sizes) == SEC_E_OK;
    return session.established;
}

bool tls_send(const char* bytes, int length)
{
    if (!session.established) return false;
    const std::size_t header = session.sizes.cbHeader;
    const std::size_t trailer = session.sizes.cbTrailer;
    std::string record;
    for (int at = 0; at < length;) {
        const int left = length - at;
        const int chunk = left < static_cast<int>(session.sizes.cbMaximumMessage)
                              ? left
                              : static_cast<int>(session.sizes.cbMaximumMessage);
        record.assign(header + chunk + trailer, '\0');
        record.replace(header, chunk, bytes + at, chunk);
        SecBuffer parts[4] = {{static_cast<unsigned long>(header), SECBUFFER_STREAM_HEADER, &record[0]},
                              {static_cast<unsigned long>(chunk), SECBUFFER_DATA, &record[header]},
                              {static_cast<unsigned long>(trailer), SECBUFFER_STREAM_TRAILER, &record[header + chunk]},
                              {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc description = {SECBUFFER_VERSION, 4, parts};
        if (session.sspi->EncryptMessage(&session.context, 0, &description, 0) != SEC_E_OK) return false;
        // The trailer may come out shorter than its room.
        if (!send_raw(record.data(), parts[0].cbBuffer + parts[1].cbBuffer + parts[2].cbBuffer)) return false;
        at += chunk;
    }
    return true;
}

int tls_receive(char* buffer, int capacity)
{
    if (!session.buffers) return TLS_CLOSED;
    TlsBuffers& buffers = *session.buffers;
    bool progress = false;
    for (;;) {
        if (!buffers.plaintext.empty())
            return static_cast<int>(take_plaintext(buffers, buffer, static_cast<std::size_t>(capacity)));
        if (!session.established || session.closed) return TLS_CLOSED;
        switch (buffers.input_used > 0 ? decrypt_next() : DecryptNext::Read) {
        case DecryptNext::Decrypt: continue;
        case DecryptNext::Handshake:
            progress = true;
            if (!run_handshake() || !session_trusted()) session.closed = true;
            continue;
        case DecryptNext::Closed:
        case DecryptNext::Failed: session.closed = true; continue;
        case DecryptNext::Read:
            if (!buffers.plaintext.empty()) continue;
            break;
        }
        std::size_t room = 0;
        char* at = input_room(buffers, room);
        const int got = room == 0 ? 0 : recv(session.socket_handle, at, static_cast<int>(room), 0);
        if (got == SOCKET_ERROR) return progress ? TLS_PENDING : TLS_NOTHING;
        if (got == 0) {
            session.closed = true;
            continue;
        }
        input_received(buffers, static_cast<std::size_t>(got));
        progress = true;
    }
}

void tls_end()
{
    if (session.established && !session.closed) say_goodbye();
    if (session.have_context) session.sspi->DeleteSecurityContext(&session.context);
    if (session.have_credentials) session.sspi->FreeCredentialsHandle(&session.credentials);
    tls_platform_unload(session.platform);
    session.sspi = nullptr;
    session.have_context = false;
    session.have_credentials = false;
    session.established = false;
    session.closed = false;
}
