#pragma once

#include "Logging/CLoggingIf.h"

namespace ETWLogging {

class LoggingConfigListenerIf;

// A logger that takes an application name and whole, already formatted messages.
class CLoggingIf_ex : public CLoggingIf {
public:
    virtual DWORD InitEx(const wchar_t* applicationName, const wchar_t* group, HMODULE module, const wchar_t* host,
                         LoggingConfigListenerIf* listener) = 0;
    virtual DWORD LogEx(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                        const wchar_t* message) = 0;
};

} // namespace ETWLogging
