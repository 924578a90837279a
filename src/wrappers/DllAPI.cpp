#include "wrappers/DllAPI.h"

#include <vector>

#include <softpub.h>
#include <wintrust.h>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "utils/FileSystemHelpers.h"
#include "utils/UniqueResource.h"

namespace Corvane {

namespace {

enum class SignatureState {
    Absent,   // not signed at all
    Verified, // a valid signature; signerSubject names who signed
    Unusable, // a signature that does not verify, or no answer could be had
};

struct Signature {
    SignatureState state = SignatureState::Unusable;
    std::vector<BYTE> signerSubject; // the encoded subject name of the signing certificate
};

using WinVerifyTrustFunction = LONG(WINAPI*)(HWND, GUID*, LPVOID);
using ProviderDataFunction = CRYPT_PROVIDER_DATA*(WINAPI*)(HANDLE);
using SignerFunction = CRYPT_PROVIDER_SGNR*(WINAPI*)(CRYPT_PROVIDER_DATA*, DWORD, BOOL, DWORD);
using CertificateFunction = CRYPT_PROVIDER_CERT*(WINAPI*)(CRYPT_PROVIDER_SGNR*, DWORD);

// Loaded for a check only, so that the product imports nothing for it, and only from the
// system folder, so that a copy planted beside the host cannot answer for it.
struct WinTrustFunctions {
    Vornix::UniqueModule module;
    WinVerifyTrustFunction verify = nullptr;
    ProviderDataFunction providerData = nullptr;
    SignerFunction signer = nullptr;
    CertificateFunction certificate = nullptr;
};

template <typename Function> bool bind(HMODULE module, const char* name, Function& function) {
    // Through void(*)() because the export's real type is not FARPROC's.
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    return function != nullptr;
}

bool loadWinTrust(WinTrustFunctions& api) {
    api.module.reset(LoadLibraryExW(L"wintrust.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return api.module && bind(api.module.get(), "WinVerifyTrust", api.verify) &&
           bind(api.module.get(), "WTHelperProvDataFromStateData", api.providerData) &&
           bind(api.module.get(), "WTHelperGetProvSignerFromChain", api.signer) &&
           bind(api.module.get(), "WTHelperGetProvCertFromChain", api.certificate);
}

// WinVerifyTrust keeps state from a verification until it is called again to close it.
class VerificationState {
public:
    VerificationState(WinVerifyTrustFunction verify, GUID action, WINTRUST_DATA& data)
        : verify_(verify), action_(action), data_(data) {}
    ~VerificationState() {
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        verify_(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
    }
    VerificationState(const VerificationState&) = delete;
    VerificationState& operator=(const VerificationState&) = delete;

private:
    WinVerifyTrustFunction verify_;
    GUID action_;
    WINTRUST_DATA& data_;
};

std::vector<BYTE> signerSubjectOf(const WinTrustFunctions& api, HANDLE state) {
    CRYPT_PROVIDER_DATA* provider = api.providerData(state);
    CRYPT_PROVIDER_SGNR* signer = provider != nullptr ? api.signer(provider, 0, FALSE, 0) : nullptr;
    CRYPT_PROVIDER_CERT* certificate = signer != nullptr ? api.certificate(signer, 0) : nullptr;
    if (certificate == nullptr || certificate->pCert == nullptr || certificate->pCert->pCertInfo == nullptr) {
        return {};
    }
    const CERT_NAME_BLOB& subject = certificate->pCert->pCertInfo->Subject;
    return std::vector<BYTE>(subject.pbData, subject.pbData + subject.cbData);
}

// An unsigned file answers TRUST_E_NOSIGNATURE with one of these as the last error; any other
// last error means a signature that is present but broken, or a file that could not be read.
bool meansNotSigned(DWORD lastError) {
    return lastError == static_cast<DWORD>(TRUST_E_NOSIGNATURE) ||
           lastError == static_cast<DWORD>(TRUST_E_SUBJECT_FORM_UNKNOWN) ||
           lastError == static_cast<DWORD>(TRUST_E_PROVIDER_UNKNOWN);
}

Signature inspectSignature(const WinTrustFunctions& api, const std::wstring& path) {
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_REVOCATION_CHECK_NONE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;

    const LONG result = api.verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    const DWORD lastError = GetLastError();
    const VerificationState state(api.verify, action, data);
    Signature signature;
    if (result == TRUST_E_NOSIGNATURE && meansNotSigned(lastError)) {
        signature.state = SignatureState::Absent;
    } else if (result == ERROR_SUCCESS) {
        signature.signerSubject = signerSubjectOf(api, data.hWVTStateData);
        signature.state =
            signature.signerSubject.empty() ? SignatureState::Unusable : SignatureState::Verified;
    }
    return signature;
}

Signature inspectSignature(const std::wstring& path) {
    WinTrustFunctions api;
    return loadWinTrust(api) ? inspectSignature(api, path) : Signature{};
}

// The product DLL, or the executable our code is linked into.
HMODULE ownModule() {
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&ownModule), &module);
    return module;
}

Signature inspectOwnSignature() {
    std::wstring folder;
    std::wstring fileName;
    if (!Vornix::splitModulePath(ownModule(), folder, true, fileName)) {
        return Signature{};
    }
    return inspectSignature(folder + fileName);
}

// Our own file cannot change while it is mapped, so it is inspected once per process.
const Signature& ownSignature() {
    static const Signature own = inspectOwnSignature();
    return own;
}

bool signedLikeUs(const std::wstring& path, const Signature& own) {
    const Signature candidate = inspectSignature(path);
    return candidate.state == SignatureState::Verified && candidate.signerSubject == own.signerSubject;
}

HMODULE failWith(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// The check and the load must name the same file, so a relative path is made full first:
// the loader would search for it where the check does not look.
bool fullPathOf(const wchar_t* path, std::wstring& fullPath) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetFullPathNameW(path, MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    fullPath.assign(buffer, length);
    return true;
}

// The file stays open without write or delete sharing from the check until it is mapped, so
// that nobody can replace what was checked.
HMODULE loadIfTrusted(DllAPI& api, const wchar_t* path) {
    if (path == nullptr || *path == L'\0') {
        return failWith(ERROR_INVALID_PARAMETER);
    }
    std::wstring fullPath;
    if (!fullPathOf(path, fullPath)) {
        return failWith(ERROR_ACCESS_DENIED);
    }
    const Vornix::UniqueFileHandle pinned(CreateFileW(fullPath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                      nullptr));
    if (!pinned || !api.isTrustedModule(fullPath)) {
        return failWith(ERROR_ACCESS_DENIED);
    }
    return LoadLibraryExW(fullPath.c_str(), nullptr, 0);
}

} // namespace

bool DllAPI::loadLibrary(const wchar_t* path, HMODULE* handle) {
    // Without a place for the handle a loaded module could never be freed.
    const HMODULE module = handle != nullptr ? loadIfTrusted(*this, path) : failWith(ERROR_INVALID_PARAMETER);
    if (handle != nullptr) {
        *handle = module;
    }
    if (module != nullptr) {
        return true;
    }
    const DWORD error = GetLastError();
    HXLOG(ETWLogging::LOG_LEVEL_ERROR, L"wrappers\\DllAPI", L"Corvane::DllAPI::loadLibrary",
          L"LoadLibrary Failed. GLE: %lu", error);
    SetLastError(error);
    return false;
}

FARPROC DllAPI::getProcAddress(HMODULE module, const char* name) {
    return GetProcAddress(module, name);
}

bool DllAPI::isTrustedModule(const std::wstring& path) {
    if (path.empty() || !Vornix::isRegularFile(path.c_str())) {
        return false;
    }
    const Signature& own = ownSignature();
    switch (own.state) {
    case SignatureState::Absent:
        // A development build: there is no publisher to compare with.
        return true;
    case SignatureState::Verified:
        return signedLikeUs(path, own);
    case SignatureState::Unusable:
        break;
    }
    return false;
}

bool DllAPI::freeLibrary(HMODULE module) {
    return FreeLibrary(module) != FALSE;
}

} // namespace Corvane
