#include "analytics/ProcessHashKey.h"

#include <windows.h>

#include <bcrypt.h>

namespace Corvane::Analytics {

namespace {

INIT_ONCE keyOnce = INIT_ONCE_STATIC_INIT;
SipHashKey processKey;

// Should the random source ever fail, a key from the clock and this process's addresses
// still differs from run to run, which beats refusing every report.
SipHashKey fallbackKey() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const auto stack = reinterpret_cast<std::uintptr_t>(&counter);
    const auto image = reinterpret_cast<std::uintptr_t>(&processKey);
    return SipHashKey{
        static_cast<std::uint64_t>(counter.QuadPart) ^ (std::uint64_t{GetCurrentProcessId()} << 32),
        static_cast<std::uint64_t>(stack) ^ (static_cast<std::uint64_t>(image) << 17) ^ GetTickCount64()};
}

// The system's one-time initialisation rather than a guarded static, whose lock would come
// from winpthreads: hosts unload and reload the library, and this leaves nothing behind.
BOOL CALLBACK drawKey(PINIT_ONCE, PVOID, PVOID*) {
    const NTSTATUS status = BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&processKey), sizeof processKey,
                                            BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (!BCRYPT_SUCCESS(status)) {
        processKey = fallbackKey();
    }
    return TRUE;
}

} // namespace

const SipHashKey& processHashKey() {
    InitOnceExecuteOnce(&keyOnce, drawKey, nullptr, nullptr);
    return processKey;
}

} // namespace Corvane::Analytics
