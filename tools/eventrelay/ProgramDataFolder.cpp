#include "ProgramDataFolder.h"

#include <shlobj.h>

#include "utils/UniqueResource.h"

namespace EventRelay {

namespace {
// Null when the library did not load or lacks the export.
template <typename Function> Function exported(const Vornix::UniqueModule& module, const char* name) {
    // Through void*: FARPROC's own signature is a placeholder.
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)))
                  : nullptr;
}
} // namespace

std::wstring ProgramDataFolder::path() {
    const Vornix::UniqueModule shell(LoadLibraryW(L"shell32.dll"));
    const Vornix::UniqueModule com(LoadLibraryW(L"ole32.dll"));
    const auto knownFolderPath = exported<decltype(&SHGetKnownFolderPath)>(shell, "SHGetKnownFolderPath");
    const auto freeText = exported<decltype(&CoTaskMemFree)>(com, "CoTaskMemFree");
    if (knownFolderPath == nullptr || freeText == nullptr) {
        return {};
    }
    PWSTR folder = nullptr;
    const HRESULT result = knownFolderPath(FOLDERID_ProgramData, KF_FLAG_CREATE, nullptr, &folder);
    std::wstring path = SUCCEEDED(result) && folder != nullptr ? std::wstring(folder) : std::wstring();
    freeText(folder);
    return path;
}

} // namespace EventRelay
