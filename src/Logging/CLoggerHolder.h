#pragma once

#include <windows.h>

#include "Logging/CLogBuilderIf_ex.h"
#include "Logging/CLoggingIf.h"
#include "Logging/ILoggingHandler.h"

namespace ETWLogging {

// The process-wide logger, made once by GetLogger and kept until the process exits.
class CLoggerHolder {
public:
    CLoggingIf* logger = nullptr;                         // owned; null when none could be built
    Vornix::ILoggingHandler* registeredHandler = nullptr; // the bridge this holder registered

    CLoggerHolder() = default;
    ~CLoggerHolder();
    CLoggerHolder(const CLoggerHolder&) = delete;
    CLoggerHolder& operator=(const CLoggerHolder&) = delete;

    // Builds the logger with the builder (BuildEx, then Build) and registers the bridge for
    // the utility library's messages. Without a logger nothing is registered.
    void Populate(CLogBuilderIf_ex& builder, const wchar_t* applicationName, const wchar_t* group, HMODULE module,
                  const wchar_t* host, DWORD mechanism);

    // Unregisters the bridge and destroys the logger; what process exit does.
    void Release();
};

// The process-wide holder, created by the first call from its arguments; later calls ignore
// them. An exception while creating reaches the caller, and the next call tries again.
CLoggerHolder* GetLogger(const wchar_t* applicationName, const wchar_t* group, HMODULE module, const wchar_t* host,
                         DWORD mechanism);

// The holder if one was created, without creating it.
CLoggerHolder* CurrentLoggerHolder() noexcept;

} // namespace ETWLogging
