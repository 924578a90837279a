#pragma once

#include <windows.h>

namespace ETWLogging {

constexpr DWORD LOG_LEVEL_NORMAL = 1;
constexpr DWORD LOG_LEVEL_WARNING = 2;
constexpr DWORD LOG_LEVEL_INFORMATION = 3;
constexpr DWORD LOG_LEVEL_ERROR = 4;
constexpr DWORD LOG_LEVEL_CRITICAL = 5;
constexpr DWORD LOG_LEVEL_INFORMATION2 = 6;

// The framework's own error numbers beside the Windows ones.
constexpr DWORD LOG_ERROR_ALREADY_INITIALIZED = 20001;
constexpr DWORD LOG_ERROR_NOT_INITIALIZED = 20002;

// Mechanism argument of the builder: 1 asks for log files whatever is configured.
constexpr DWORD LOG_MECHANISM_CONFIGURED = 0;
constexpr DWORD LOG_MECHANISM_FILE = 1;

// What every log statement of the system passes to GetLogger.
extern const wchar_t* const defaultApplicationName; // none
extern const wchar_t* const defaultGroup;           // "_no_group"
extern const HMODULE defaultModule;                 // none
extern const wchar_t* const defaultHost;            // "_no_host"
extern const DWORD defaultMechanism;                // 0

// Message limits of the call-site sequence.
constexpr size_t LOG_BUFFER_CHARS = 2080;
constexpr size_t LOG_WHOLE_LIMIT_CHARS = 4160;

} // namespace ETWLogging
