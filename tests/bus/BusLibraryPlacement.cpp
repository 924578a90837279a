#include "bus/BusLibraryPlacement.h"

#include <gtest/gtest.h>

namespace PelmoraTests {

BusLibraryPlacement::BusLibraryPlacement(const std::wstring& source)
    : placed_(executableFolder() + L"EventRelay.dll") {
    EXPECT_TRUE(CopyFileW(source.c_str(), placed_.c_str(), FALSE)) << "copy " << testing::PrintToString(source);
}

BusLibraryPlacement::~BusLibraryPlacement() { DeleteFileW(placed_.c_str()); }

std::wstring BusLibraryPlacement::executableFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full(path, length);
    return full.substr(0, full.rfind(L'\\') + 1);
}

std::wstring BusLibraryPlacement::developmentBus() {
    return executableFolder() + L"..\\..\\tools\\eventrelay\\EventRelay.dll";
}

std::wstring BusLibraryPlacement::fakeBus(const std::wstring& variant) {
    return executableFolder() + L"..\\fakes\\" + variant + L"\\EventRelay.dll";
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironmentVariableW(name_.c_str(), nullptr); }

} // namespace PelmoraTests
