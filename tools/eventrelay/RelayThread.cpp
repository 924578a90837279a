#include "RelayThread.h"

#include <windows.h>

#include "Relay.h"
#include "utils/UniqueResource.h"

namespace EventRelay {

namespace {
DWORD WINAPI relayMain(void* parameter);

HMODULE thisLibrary(DWORD flags) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | flags, reinterpret_cast<LPCWSTR>(&relayMain),
                       &module);
    return module;
}

DWORD WINAPI relayMain(void* parameter) {
    try {
        static_cast<Relay*>(parameter)->run();
    } catch (...) {
    }
    FreeLibraryAndExitThread(thisLibrary(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT), 0);
}
} // namespace

bool RelayThread::start(Relay& relay) {
    const HMODULE reference = thisLibrary(0);
    if (reference == nullptr) {
        return false;
    }
    Vornix::UniqueHandle thread(CreateThread(nullptr, 0, relayMain, &relay, 0, nullptr));
    if (!thread) {
        FreeLibrary(reference);
        return false;
    }
    return true;
}

} // namespace EventRelay
