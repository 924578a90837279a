#pragma once

#include <windows.h>

namespace ETWLogging {

// The printed name of a level, or null for a level that has none (only 1..6 have one).
const wchar_t* LogLevelName(DWORD level) noexcept;

} // namespace ETWLogging
