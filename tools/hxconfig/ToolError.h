#pragma once

#include <string>

#include <windows.h>

namespace hxconfig {

// Prints "hxconfig: WHAT: <system text> (N)" on standard error and returns the failure status.
int reportError(const std::wstring& what, DWORD error);

// Prints "hxconfig: TEXT" on standard error and returns the failure status.
int reportFailure(const std::wstring& text);

// Prints "hxconfig: TEXT" on standard error and returns the usage status.
int reportUsage(const std::wstring& text);

} // namespace hxconfig
