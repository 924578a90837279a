#include "support/ScratchFolder.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>

#include "utils/UniqueResource.h"

namespace fs = std::filesystem;

namespace {

std::wstring uniqueTemporaryPath() {
    static std::atomic<unsigned> counter{0};
    wchar_t temporary[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporary);
    return std::wstring(temporary, length) + L"pelmora-" + std::to_wstring(GetCurrentProcessId()) + L'-' +
           std::to_wstring(GetTickCount64()) + L'-' + std::to_wstring(counter++);
}

} // namespace

ScratchFolder::ScratchFolder() : path_(uniqueTemporaryPath()) {
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(path_, ignored);
}

std::wstring ScratchFolder::makeFile(const std::wstring& relative, DWORD attributes) const {
    const std::wstring path = pathOf(relative);
    Vornix::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), "x", 1, &written, nullptr);
    return path;
}

std::wstring ScratchFolder::makeFolder(const std::wstring& relative) const {
    const std::wstring path = pathOf(relative);
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

std::vector<std::wstring> ScratchFolder::entries() const {
    std::vector<std::wstring> found;
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
        found.push_back(entry.path().lexically_relative(path_).make_preferred().wstring());
    }
    std::sort(found.begin(), found.end());
    return found;
}
