#include "dll/DllLoader.h"

#include <utility>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "status/ModuleStatus.h"

namespace Corvane {

namespace {
constexpr const wchar_t* sourceName = L"dll\\DllLoader";
} // namespace

DllLoader::DllLoader(std::shared_ptr<DllAPI> api)
    : dllApi_(api ? std::move(api) : std::make_shared<DllAPI>()) {}

bool DllLoader::loadDLL(const std::wstring& path, HMODULE* handle) {
    if (handle == nullptr) {
        HXLOG(ETWLogging::LOG_LEVEL_WARNING, sourceName, L"Corvane::DllLoader::loadDLL",
              L"Invalid pHandle specified. Exiting.");
        return false;
    }
    MODULE_STATUS failure = MODULE_STATUS_UNSUCCESSFUL;
    try {
        if (dllApi_->loadLibrary(path.c_str(), handle)) {
            return true;
        }
    } catch (...) {
        failure = MODULE_STATUS_UNKNOWN_EXCEPTION;
    }
    HXLOG(ETWLogging::LOG_LEVEL_ERROR, sourceName, L"Corvane::DllLoader::loadDLL",
          L"Failed to load library. Error code: %ls(%lu).", moduleStatusName(failure),
          static_cast<unsigned long>(failure));
    return false;
}

FARPROC DllLoader::getProcAddress(HMODULE module, const char* name) {
    FARPROC address = nullptr;
    try {
        address = dllApi_->getProcAddress(module, name);
    } catch (...) {
        // A lookup that throws has found nothing.
    }
    if (address == nullptr) {
        HXLOG(ETWLogging::LOG_LEVEL_WARNING, sourceName, L"Corvane::DllLoader::getProcAddress",
              L"getProcAddress was unsuccessful in finding the handle's address");
    }
    return address;
}

bool DllLoader::freeDLL(HMODULE module) {
    return dllApi_->freeLibrary(module);
}

} // namespace Corvane
