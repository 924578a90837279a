#pragma once

#include <windows.h>

namespace Vornix {

// Version comparisons against the running system.
class WinOSVersionAPI {
public:
    virtual ~WinOSVersionAPI() = default;
    virtual BOOL verifyVersionInfo(OSVERSIONINFOEXW* versionInfo, DWORD typeMask, DWORDLONG conditionMask);
};

} // namespace Vornix
