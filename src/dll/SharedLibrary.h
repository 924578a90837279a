#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "dll/DllLoader.h"
#include "dll/LibraryFunctionTable.h"
#include "dll/PathHelpers.h"
#include "dll/PathSearch.h"
#include "dll/SharedLibraryInfo.h"
#include "status/ModuleStatus.h"
#include "utils/CRegKey.h"
#include "utils/FileVersionInfo.h"

namespace Corvane {

// A sibling library found along macro search paths, checked against the version block list,
// loaded, and bound to its four exports. An object that exists always holds the loaded module
// and a complete function table; destruction frees the module.
class SharedLibrary {
public:
    // Empty loader, path helpers and path search give the default ones; empty version info
    // and registry key make every block check use fresh ones (the key with scrambled values).
    // Throws ModuleException when the library cannot be loaded or bound.
    explicit SharedLibrary(SharedLibraryInfo info, std::shared_ptr<DllLoader> dllLoader = nullptr,
                           std::shared_ptr<PathHelpers> pathHelpers = nullptr,
                           std::shared_ptr<PathSearch> pathSearch = nullptr,
                           std::shared_ptr<Vornix::FileVersionInfo> versionInfo = nullptr,
                           std::shared_ptr<Vornix::CRegKey> registryKey = nullptr);
    virtual ~SharedLibrary();

    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Valid for the object's life only.
    virtual const LibraryFunctionTable* getFunctionTable();

    // Frees the module if one is held; never throws.
    void unloadLibrary() noexcept;

    // Our own libraries are never blocked; any other is when the block list names its version.
    bool isBlocked(const std::wstring& folder, const std::wstring& fileName);
    bool isBlockedVersion(const std::wstring& folder, const std::wstring& fileName);

protected:
    // Steps of construction, each run once.
    MODULE_STATUS loadLibrary();
    MODULE_STATUS importFunctions();

private:
    bool resolveSearchPaths();
    bool readFileVersion(const std::wstring& path, std::wstring& fileVersion);
    // False when the library has no key in the block list.
    bool readBlockListEntry(const std::wstring& fileName, const std::wstring& valueName, std::wstring& entry);
    void loadAndBind();

    std::wstring name_;
    std::vector<std::wstring> searchPaths_;
    std::shared_ptr<DllLoader> dllLoader_;
    std::shared_ptr<PathHelpers> pathHelpers_;
    std::shared_ptr<PathSearch> pathSearch_;
    std::shared_ptr<Vornix::CRegKey> registryKey_;
    std::shared_ptr<Vornix::FileVersionInfo> versionInfo_;
    HMODULE module_ = nullptr;
    LibraryFunctionTable functions_;
};

} // namespace Corvane
