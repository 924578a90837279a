#include "TestLibrary.h"

#include <windows.h>

#include "utils/FileSystemHelpers.h"

namespace PelmoraTests {

std::wstring testExecutableFolder() {
    std::wstring folder;
    std::wstring fileName;
    Vornix::splitModulePath(nullptr, folder, true, fileName);
    return folder;
}

std::wstring testLibraryPath() {
    return testExecutableFolder() + testLibraryName;
}

bool isMapped(const wchar_t* fileName) {
    return GetModuleHandleW(fileName) != nullptr;
}

} // namespace PelmoraTests
