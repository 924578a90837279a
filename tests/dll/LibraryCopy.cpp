#include "LibraryCopy.h"

#include <windows.h>

#include "TestLibrary.h"
#include "utils/FileSystemHelpers.h"

namespace PelmoraTests {

namespace {

std::wstring uniqueTemporaryFolder() {
    static unsigned counter = 0;
    wchar_t temporary[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporary);
    return std::wstring(temporary, length) + L"pelmora-dll-" + std::to_wstring(GetCurrentProcessId()) + L'-' +
           std::to_wstring(counter++);
}

} // namespace

LibraryCopy::LibraryCopy() : folder_(uniqueTemporaryFolder()) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    CopyFileW(testLibraryPath().c_str(), path().c_str(), TRUE);
}

LibraryCopy::~LibraryCopy() {
    Vornix::removeDirectory(folder_.c_str());
}

std::wstring LibraryCopy::path() const {
    return folder_ + L'\\' + testLibraryName;
}

} // namespace PelmoraTests
