#include "BusFloor.h"

#include <windows.h>

#include "message/Message.h"
#include "businterface/BusLibraryInterface.h"
#include "utils/UniqueResource.h"

namespace PelmoraBench {

using namespace Corvane;

namespace {
// Through void(*)(): the one function-pointer type a cast may pass without complaint.
template <typename Function> Function exported(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

bool publishOnce(BusFunctions& functions, const std::wstring& name, const std::wstring& alias,
                 const std::wstring& payload) {
    BusHandle handle = nullptr;
    if (functions.acquireHandle(&handle) != MODULE_STATUS_SUCCESS) {
        return false;
    }
    const auto message = Message::create(name, alias, payload);
    const bool published = functions.publish(handle, &message->getHeader(), name.c_str(), alias.c_str(),
                                             payload.c_str()) == MODULE_STATUS_SUCCESS;
    functions.releaseHandle(handle);
    return published;
}
} // namespace

std::wstring besideExecutable(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\') + 1) + name;
}

bool publishDirectly(const std::wstring& libraryPath, const std::wstring& name, const std::wstring& alias,
                     const std::wstring& payload) {
    const Vornix::UniqueModule library(LoadLibraryW(libraryPath.c_str()));
    if (!library) {
        return false;
    }
    const auto create = exported<BusCreateObjectFn>(library.get(), BUS_EXPORT_CREATE_OBJECT);
    const bool resolved = create != nullptr &&
                          GetProcAddress(library.get(), BUS_EXPORT_RELEASE_OBJECT) != nullptr &&
                          GetProcAddress(library.get(), BUS_EXPORT_GET_VERSION_STR) != nullptr &&
                          GetProcAddress(library.get(), BUS_EXPORT_GET_VERSION_NUM) != nullptr;
    BusFunctions* functions = resolved ? create(BUS_FUNCTIONS_VERSION) : nullptr;
    return functions != nullptr && publishOnce(*functions, name, alias, payload);
}

TemporaryMessageLog::TemporaryMessageLog(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder, length < MAX_PATH ? length : 0) + fileName;
    SetEnvironmentVariableW(L"EVENTRELAY_LOG", path_.c_str());
}

TemporaryMessageLog::~TemporaryMessageLog() {
    SetEnvironmentVariableW(L"EVENTRELAY_LOG", nullptr);
    DeleteFileW(path_.c_str());
}

} // namespace PelmoraBench
