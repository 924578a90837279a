#pragma once

#include <string>

#include <windows.h>

namespace PelmoraTests {

// The bus client looks for "EventRelay.dll" beside the test executable first: a test places
// the library it wants there, and removes it again.
class BusLibraryPlacement {
public:
    explicit BusLibraryPlacement(const std::wstring& source);
    ~BusLibraryPlacement();
    BusLibraryPlacement(const BusLibraryPlacement&) = delete;
    BusLibraryPlacement& operator=(const BusLibraryPlacement&) = delete;

    static std::wstring executableFolder(); // with its trailing backslash
    static std::wstring developmentBus();
    static std::wstring fakeBus(const std::wstring& variant);
    // Whether a module of that name is mapped into this process.
    static bool loaded() { return GetModuleHandleW(L"EventRelay.dll") != nullptr; }

private:
    std::wstring placed_;
};

// Sets a process environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name_;
};

} // namespace PelmoraTests
