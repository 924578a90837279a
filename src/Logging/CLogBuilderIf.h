#pragma once

#include <windows.h>

#include "Logging/CLoggingIf.h"

namespace Vornix {
class CRegKey;
}

namespace ETWLogging {

class CLogBuilderIf {
public:
    // Builds and initialises the logger the mechanism selects into *logger (which must be
    // empty). settingsKey, when given, is where the configured mechanism is read.
    virtual bool Build(const wchar_t* group, HMODULE module, const wchar_t* host, DWORD mechanism,
                       CLoggingIf** logger, Vornix::CRegKey* settingsKey) = 0;

protected:
    ~CLogBuilderIf() = default;
};

} // namespace ETWLogging
