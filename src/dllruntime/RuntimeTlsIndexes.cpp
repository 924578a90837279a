// The statically linked threads runtime takes a TLS index the first time a thread needs its
// thread record (once-only initialisation, thread-local variables) and never gives it back.
// A process has only about 1,088 indexes, and hosts load and unload this DLL many times
// (CoFreeUnusedLibraries), so every index the DLL's code takes is noted here and freed when
// the DLL goes.
//
// The DLL's own import slots of TlsAlloc and TlsFree are defined here, ahead of the system's
// import library, so that every caller inside the DLL comes through these functions.

#include <windows.h>

#include <cstdlib>

namespace {

using TlsAllocFunction = DWORD(WINAPI*)();
using TlsFreeFunction = BOOL(WINAPI*)(DWORD);

// More than the runtime ever takes; an index beyond them is merely not given back.
constexpr int trackedCount = 8;
volatile LONG tracked[trackedCount] = {-1, -1, -1, -1, -1, -1, -1, -1};

// Looked up on every call: no function-local static, whose guard would itself need the
// threads runtime and so this very function.
FARPROC systemFunction(const char* name) {
    return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
}

template <typename Function> Function systemFunctionAs(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(systemFunction(name)));
}

void remember(DWORD index) {
    for (volatile LONG& slot : tracked) {
        if (InterlockedCompareExchange(&slot, static_cast<LONG>(index), -1) == -1) {
            return;
        }
    }
}

bool forget(DWORD index) {
    for (volatile LONG& slot : tracked) {
        if (InterlockedCompareExchange(&slot, -1, static_cast<LONG>(index)) == static_cast<LONG>(index)) {
            return true;
        }
    }
    return false;
}

DWORD WINAPI trackedTlsAlloc() {
    const auto systemTlsAlloc = systemFunctionAs<TlsAllocFunction>("TlsAlloc");
    const DWORD index = systemTlsAlloc != nullptr ? systemTlsAlloc() : TLS_OUT_OF_INDEXES;
    if (index != TLS_OUT_OF_INDEXES) {
        remember(index);
    }
    return index;
}

BOOL WINAPI trackedTlsFree(DWORD index) {
    forget(index);
    const auto systemTlsFree = systemFunctionAs<TlsFreeFunction>("TlsFree");
    return systemTlsFree != nullptr && systemTlsFree(index);
}

void freeTrackedIndexes() {
    for (volatile LONG& slot : tracked) {
        const LONG index = InterlockedExchange(&slot, -1);
        if (index != -1) {
            trackedTlsFree(static_cast<DWORD>(index));
        }
    }
}

// Registered before any other static object of the DLL exists, so that it runs after all
// their destructors, when nothing of the DLL can ask the runtime for its thread record again.
struct FreeAtUnload {
    FreeAtUnload() { std::atexit(freeTrackedIndexes); }
};
__attribute__((init_priority(101))) const FreeAtUnload freeAtUnload;

} // namespace

extern "C" {
extern TlsAllocFunction __imp_TlsAlloc;
extern TlsFreeFunction __imp_TlsFree;
TlsAllocFunction __imp_TlsAlloc = trackedTlsAlloc;
TlsFreeFunction __imp_TlsFree = trackedTlsFree;
}
