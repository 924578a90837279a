#include "dll/DllLoader.h"

#include <utility>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "status/GuardedCall.h"

namespace Corvane {

namespace {
constexpr const wchar_t* sourceName = L"dll\\DllLoader";
} // namespace

DllLoader::DllLoader(std::shared_ptr<DllAPI> api)
    : dllApi(api ? std::move(api) : std::make_shared<DllAPI>()) {}

bool DllLoader::loadDLL(const std::wstring& path, HMODULE* handle) {
    if (handle == nullptr) {
        HXLOG(ETWLogging::LOG_LEVEL_WARNING, sourceName, L"Corvane::DllLoader::loadDLL",
              L"Invalid pHandle specified. Exiting.");
        return false;
    }
    const MODULE_STATUS status = guardedCall([&] {
        return dllApi->loadLibrary(path.c_str(), handle) ? MODULE_STATUS_SUCCESS : MODULE_STATUS_UNSUCCESSFUL;
    });
    if (status == MODULE_STATUS_SUCCESS) {
        return true;
    }
    HXLOG(ETWLogging::LOG_LEVEL_ERROR, sourceName, L"Corvane::DllLoader::loadDLL",
          L"Failed to load library. Error code: %ls(%lu).", moduleStatusName(status),
          static_cast<unsigned long>(status));
    return false;
}

FARPROC DllLoader::getProcAddress(HMODULE module, const char* name) {
    FARPROC address = nullptr;
    // The status only ends the guarded step; callers see the null address.
    guardedCall([&] {
        address = dllApi->getProcAddress(module, name);
        return address != nullptr ? MODULE_STATUS_SUCCESS : MODULE_STATUS_INVALID_HANDLE;
    });
    if (address == nullptr) {
        HXLOG(ETWLogging::LOG_LEVEL_WARNING, sourceName, L"Corvane::DllLoader::getProcAddress",
              L"getProcAddress was unsuccessful in finding the handle's address");
    }
    return address;
}

bool DllLoader::freeDLL(HMODULE module) {
    return dllApi->freeLibrary(module);
}

} // namespace Corvane
