#pragma once

#include <windows.h>

#include "Logging/LogOptions.h"

namespace ETWLogging {

// The file logger's settings before anything is configured, and their limits.
constexpr DWORD LOG_FILE_DEFAULT_ENABLED = 1;
constexpr DWORD LOG_FILE_DEFAULT_MAX_SIZE = 0x40000;
constexpr DWORD LOG_FILE_MIN_MAX_SIZE = 0x40000;
constexpr DWORD LOG_FILE_MAX_MAX_SIZE = 0xA00000;
constexpr DWORD LOG_FILE_DEFAULT_MAX_ENTRIES = 3;
constexpr DWORD LOG_FILE_MIN_MAX_ENTRIES = 2;
constexpr DWORD LOG_FILE_MAX_MAX_ENTRIES = 100;
constexpr DWORD LOG_FILE_DEFAULT_SEVERITY = 3;
constexpr DWORD LOG_FILE_MAX_CONFIGURED_SEVERITY = 6;
constexpr DWORD LOG_FILE_DEFAULT_OPTIONS = LOG_OPTIONS_DEFAULT;

// Where the settings and the rotation state live in "log.ini".
constexpr const wchar_t* LOG_INI_SECTION = L"Config";
constexpr const wchar_t* LOG_INI_LAST_INDEX = L"LastLogIdx";

} // namespace ETWLogging
