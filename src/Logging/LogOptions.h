#pragma once

#include <windows.h>

namespace ETWLogging {

// Bits of the file logger's "Options": which fields a line carries, and a copy to the debugger.
constexpr DWORD LOG_OPTION_DEBUGGER = 0x01;
constexpr DWORD LOG_OPTION_PROCESS_THREAD = 0x04;
constexpr DWORD LOG_OPTION_SOURCE = 0x08;
constexpr DWORD LOG_OPTION_COMPONENT = 0x10;
constexpr DWORD LOG_OPTION_FUNCTION = 0x20;

constexpr DWORD LOG_OPTIONS_DEFAULT = LOG_OPTION_COMPONENT;

} // namespace ETWLogging
