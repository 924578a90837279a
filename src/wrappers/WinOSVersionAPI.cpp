#include "wrappers/WinOSVersionAPI.h"

namespace Vornix {

BOOL WinOSVersionAPI::verifyVersionInfo(OSVERSIONINFOEXW* versionInfo, DWORD typeMask,
                                        DWORDLONG conditionMask) {
    return VerifyVersionInfoW(versionInfo, typeMask, conditionMask);
}

} // namespace Vornix
