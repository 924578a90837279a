#pragma once

#include <string>

#include <windows.h>

namespace PelmoraTests {

// Runs the system's regsvr32.exe with the arguments and returns its exit code; a DLL path
// among the arguments should be quoted with quotedPath. Throws when it cannot be started or
// does not finish within a minute.
DWORD regsvr32(const std::wstring& arguments);

std::wstring quotedPath(const std::wstring& path);

} // namespace PelmoraTests
