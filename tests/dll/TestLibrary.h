#pragma once

#include <string>

namespace PelmoraTests {

// The DLL of our own built beside the test executables; it exports Answer, which returns 42.
constexpr const wchar_t* testLibraryName = L"VersionedLibrary.dll";

// The test executable's folder, with its trailing backslash.
std::wstring testExecutableFolder();

std::wstring testLibraryPath();

// Whether a module of that file name is mapped into this process.
bool isMapped(const wchar_t* fileName);

} // namespace PelmoraTests
