#pragma once

#include <cstdarg>

#include <windows.h>

#include "Logging/CLoggerHolder.h"
#include "Logging/LogLevels.h"

namespace ETWLogging {

// One log statement: the level test, Prepare, then either a 2080-character message to an
// extended logger's LogEx, or LogThroughHolder. Never throws and never reports a failure:
// logging must not disturb its caller.
void LogMessage(DWORD level, const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                ...) noexcept;
void LogMessageV(DWORD level, const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                 va_list args) noexcept;

// Formats the whole message (one longer than 4160 characters is cut to its first 2080) and
// hands it to LogEx or Log. 1627 without a logger; a non-zero Prepare result as it is.
DWORD LogThroughHolder(CLoggerHolder* holder, DWORD level, const wchar_t* file, const wchar_t* function, int line,
                       const wchar_t* format, ...) noexcept;
DWORD LogThroughHolderV(CLoggerHolder* holder, DWORD level, const wchar_t* file, const wchar_t* function, int line,
                        const wchar_t* format, va_list args) noexcept;

// An already formatted message, without a level test.
DWORD LogDirect(CLoggerHolder* holder, const wchar_t* file, const wchar_t* function, int line, DWORD level,
                const wchar_t* message) noexcept;

} // namespace ETWLogging

// The log statement of every call site: HXLOG(level, L"dll\\SharedLibrary", L"Corvane::...", L"format", ...)
#define HXLOG(level, file, function, ...) ::ETWLogging::LogMessage((level), (file), (function), __LINE__, __VA_ARGS__)
