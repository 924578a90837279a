#include "dll/SharedLibrary.h"

#include <utility>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "businterface/BusLibraryInterface.h"
#include "dll/BlockListKey.h"
#include "dll/KnownLibraries.h"
#include "status/GuardedCall.h"
#include "status/ModuleException.h"
#include "utils/CObfuscatedRegKey.h"

namespace Corvane {

namespace {

constexpr const wchar_t* logSource = L"dll\\SharedLibrary";
constexpr const wchar_t* fileVersionName = L"FileVersion";

struct Export {
    const char* name;
    FARPROC LibraryFunctionTable::*slot;
};

constexpr Export exports[] = {
    {BUS_EXPORT_CREATE_OBJECT, &LibraryFunctionTable::createObject},
    {BUS_EXPORT_RELEASE_OBJECT, &LibraryFunctionTable::releaseObject},
    {BUS_EXPORT_GET_VERSION_STR, &LibraryFunctionTable::getVersionStr},
    {BUS_EXPORT_GET_VERSION_NUM, &LibraryFunctionTable::getVersionNum},
};

template <typename Service> std::shared_ptr<Service> givenOrNew(std::shared_ptr<Service> given) {
    return given ? std::move(given) : std::make_shared<Service>();
}

} // namespace

using namespace ETWLogging;

SharedLibrary::SharedLibrary(SharedLibraryInfo info, std::shared_ptr<DllLoader> loader,
                             std::shared_ptr<PathHelpers> helpers, std::shared_ptr<PathSearch> search,
                             std::shared_ptr<Vornix::FileVersionInfo> version,
                             std::shared_ptr<Vornix::CRegKey> key)
    : name_(std::move(info.name)), searchPaths_(std::move(info.searchPaths)),
      dllLoader_(givenOrNew(std::move(loader))), pathHelpers_(givenOrNew(std::move(helpers))),
      pathSearch_(givenOrNew(std::move(search))), registryKey_(std::move(key)),
      versionInfo_(std::move(version)) {
    try {
        loadAndBind();
    } catch (...) {
        // No destructor runs for an object that was never built: the module goes here.
        unloadLibrary();
        throw;
    }
}

SharedLibrary::~SharedLibrary() {
    unloadLibrary();
}

const LibraryFunctionTable* SharedLibrary::getFunctionTable() {
    return &functions_;
}

void SharedLibrary::loadAndBind() {
    constexpr const wchar_t* function = L"Corvane::SharedLibrary::SharedLibrary";
    if (loadLibrary() != MODULE_STATUS_SUCCESS) {
        HXLOG(LOG_LEVEL_ERROR, logSource, function, L"Failed to load library: %ls. Throwing ModuleException.",
              name_.c_str());
        throw ModuleException("Failed to load library");
    }
    if (importFunctions() != MODULE_STATUS_SUCCESS) {
        HXLOG(LOG_LEVEL_ERROR, logSource, function,
              L"Failed to import functions from library: %ls. Throwing ModuleException.", name_.c_str());
        throw ModuleException("Failed to import functions from library");
    }
}

MODULE_STATUS SharedLibrary::loadLibrary() {
    constexpr const wchar_t* function = L"Corvane::SharedLibrary::loadLibrary";
    if (!resolveSearchPaths()) {
        return MODULE_STATUS_NOT_FOUND;
    }
    pathSearch_->addSearchPaths(searchPaths_);
    std::wstring folder;
    if (!pathSearch_->findFilePath(name_, folder)) {
        HXLOG(LOG_LEVEL_ERROR, logSource, function, L"Failed to find valid path for library: %ls.",
              name_.c_str());
        return MODULE_STATUS_NOT_FOUND;
    }
    HXLOG(LOG_LEVEL_NORMAL, logSource, function, L"Loading %ls from %ls.", name_.c_str(), folder.c_str());
    // Used as built: a folder with a trailing backslash gives a doubled one, which Windows accepts.
    const std::wstring path = folder + L'\\' + name_;
    if (isBlocked(folder, name_)) {
        HXLOG(LOG_LEVEL_INFORMATION, logSource, function, L"Blocked library: %ls.", path.c_str());
        return MODULE_STATUS_NOT_SUPPORTED;
    }
    if (!dllLoader_->loadDLL(path, &module_)) {
        HXLOG(LOG_LEVEL_ERROR, logSource, function, L"Failed to load library: %ls.", name_.c_str());
        return MODULE_STATUS_UNSUCCESSFUL;
    }
    return MODULE_STATUS_SUCCESS;
}

bool SharedLibrary::resolveSearchPaths() {
    for (std::wstring& entry : searchPaths_) {
        if (!pathHelpers_->resolvePath(entry)) {
            HXLOG(LOG_LEVEL_ERROR, logSource, L"Corvane::SharedLibrary::loadLibrary",
                  L"Failed to resolve file path, %ls, for library: %ls.", entry.c_str(), name_.c_str());
            return false;
        }
    }
    return true;
}

MODULE_STATUS SharedLibrary::importFunctions() {
    for (const Export& wanted : exports) {
        FARPROC address = dllLoader_->getProcAddress(module_, wanted.name);
        if (address == nullptr) {
            HXLOG(LOG_LEVEL_ERROR, logSource, L"Corvane::SharedLibrary::importFunctions",
                  L"Failed to load %hs function from library: %ls.", wanted.name, name_.c_str());
            return MODULE_STATUS_NOT_FOUND;
        }
        functions_.*wanted.slot = address;
    }
    return MODULE_STATUS_SUCCESS;
}

void SharedLibrary::unloadLibrary() noexcept {
    guardedCall([this] {
        if (module_ == nullptr) {
            return MODULE_STATUS_SUCCESS;
        }
        if (!dllLoader_->freeDLL(module_)) {
            HXLOG(LOG_LEVEL_ERROR, logSource, L"Corvane::SharedLibrary::unloadLibrary",
                  L"Failed to free library: %ls.", name_.c_str());
            return MODULE_STATUS_UNSUCCESSFUL;
        }
        module_ = nullptr;
        return MODULE_STATUS_SUCCESS;
    });
}

bool SharedLibrary::isBlocked(const std::wstring& folder, const std::wstring& fileName) {
    if (fileName.empty() || folder.empty()) {
        return false;
    }
    const std::wstring lowerFileName = BlockListKey::lowerCase(fileName);
    if (KnownLibraries::contains(lowerFileName)) {
        return false;
    }
    return isBlockedVersion(BlockListKey::lowerCase(folder), lowerFileName);
}

bool SharedLibrary::isBlockedVersion(const std::wstring& folder, const std::wstring& fileName) {
    std::wstring fileVersion;
    if (!readFileVersion(folder + L'\\' + fileName, fileVersion)) {
        return false;
    }
    std::wstring entry;
    if (!readBlockListEntry(fileName, fileVersion, entry)) {
        return false;
    }
    return BlockListKey::blocks(fileVersion, entry);
}

bool SharedLibrary::readFileVersion(const std::wstring& path, std::wstring& fileVersion) {
    const auto reader = versionInfo_ ? versionInfo_ : std::make_shared<Vornix::FileVersionInfo>();
    if (!reader->load(path)) {
        return false;
    }
    fileVersion = reader->getStringValue(fileVersionName);
    return true;
}

bool SharedLibrary::readBlockListEntry(const std::wstring& fileName, const std::wstring& valueName,
                                       std::wstring& entry) {
    const std::shared_ptr<Vornix::CRegKey> key =
        registryKey_ ? registryKey_ : std::make_shared<Vornix::CObfuscatedRegKey>();
    if (key->Open(BlockListKey::root(), BlockListKey::pathOf(fileName).c_str(), KEY_READ) != ERROR_SUCCESS) {
        return false;
    }
    // A missing, plain or damaged value reads as empty text.
    if (key->ReadString(valueName.c_str(), entry) != ERROR_SUCCESS) {
        entry.clear();
    }
    key->Close();
    return true;
}

} // namespace Corvane
