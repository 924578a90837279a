#include "FixedProgramDataShell.h"

#include <cstring>

namespace FileLogTests {

FixedProgramDataShell::FixedProgramDataShell(std::wstring folder) : folder_(std::move(folder)) {}

HRESULT FixedProgramDataShell::getKnownFolderPath(REFKNOWNFOLDERID id, DWORD, HANDLE, PWSTR* path) {
    if (!IsEqualGUID(id, FOLDERID_ProgramData) || path == nullptr) {
        return E_INVALIDARG;
    }
    const std::size_t bytes = (folder_.size() + 1) * sizeof(wchar_t);
    *path = static_cast<PWSTR>(CoTaskMemAlloc(bytes));
    if (*path == nullptr) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(*path, folder_.c_str(), bytes);
    return S_OK;
}

} // namespace FileLogTests
