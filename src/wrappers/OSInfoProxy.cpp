#include "wrappers/OSInfoProxy.h"

namespace Vornix {
namespace internal {

namespace {

enum OnceState : int { NotDetected = 0, Detecting = 1, Detected = 2 };

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);

// Looked up rather than imported, as systems without WOW64 lack the function.
IsWow64ProcessFunction isWow64ProcessFunction() {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32");
    const FARPROC found = kernel32 != nullptr ? GetProcAddress(kernel32, "IsWow64Process") : nullptr;
    return reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(found));
}

// Detection takes milliseconds; yielding lets the detecting thread run on a busy machine.
void waitForOtherDetection() {
    YieldProcessor();
    SwitchToThread();
}

} // namespace

OSInfoProxy::OSInfoProxy(std::shared_ptr<WinOSVersionAPI> versionApi,
                         std::shared_ptr<ISystemVersionReader> versionReader)
    : detector_(std::move(versionApi), std::move(versionReader)) {}

unsigned OSInfoProxy::getOSKind() {
    return ensureDetected() ? detector_.kind() : OSKindUnknown;
}

unsigned OSInfoProxy::getPlatformClass() {
    return ensureDetected() ? detector_.platformClass() : PlatformClassUnknown;
}

bool OSInfoProxy::getOSVersion(OSVersionRecord& version) {
    version = {};
    if (!ensureDetected()) {
        return false;
    }
    version = detector_.version();
    return detector_.kind() != OSKindOther;
}

bool OSInfoProxy::getOSKindAndPlatform(unsigned& kind, unsigned& platformClass) {
    kind = OSKindUnknown;
    platformClass = PlatformClassUnknown;
    if (!ensureDetected()) {
        return false;
    }
    kind = detector_.kind();
    platformClass = detector_.platformClass();
    return true;
}

bool OSInfoProxy::isWow64Process() {
    const IsWow64ProcessFunction isWow64 = isWow64ProcessFunction();
    BOOL wow64 = FALSE;
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64 == TRUE;
}

bool OSInfoProxy::isNTPlatform() {
    return detector_.isPlatform(VER_PLATFORM_WIN32_NT);
}

bool OSInfoProxy::getSystemVersion(ModuleVersionQuad& version) {
    version = {};
    if (!ensureDetected()) {
        return false;
    }
    version = detector_.systemVersion();
    return true;
}

// The first caller detects; others wait for it, then take its result or, after a failure,
// try themselves. Answers are read only once the state says detected, and never change.
bool OSInfoProxy::ensureDetected() {
    for (;;) {
        int state = NotDetected;
        if (onceState_.compare_exchange_strong(state, Detecting, std::memory_order_acquire)) {
            const bool detected = runDetection();
            onceState_.store(detected ? Detected : NotDetected, std::memory_order_release);
            return detected;
        }
        if (state == Detected) {
            return true;
        }
        waitForOtherDetection();
    }
}

// Nothing may escape between claiming and releasing the once state, or later callers would
// wait for ever.
bool OSInfoProxy::runDetection() {
    try {
        return detector_.detect();
    } catch (...) {
        return false;
    }
}

} // namespace internal
} // namespace Vornix
