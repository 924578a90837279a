#include "ProgramDataFolder.h"

#include <shlobj.h>

#include "UniqueModule.h"

namespace EventRelay {

std::wstring ProgramDataFolder::path() {
    const UniqueModule shell(LoadLibraryW(L"shell32.dll"));
    const UniqueModule com(LoadLibraryW(L"ole32.dll"));
    const auto knownFolderPath = shell.function<decltype(&SHGetKnownFolderPath)>("SHGetKnownFolderPath");
    const auto freeText = com.function<decltype(&CoTaskMemFree)>("CoTaskMemFree");
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
