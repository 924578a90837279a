#pragma once

#include <windows.h>

namespace Vornix {
class CRegKey;
}

namespace ETWLogging {

// The configured "Logging Mechanism": read from settingsKey when given, else from
// HKEY_LOCAL_MACHINE\SOFTWARE\Halvex\Logging, and only when stored scrambled. Missing,
// unreadable or plain values, and a key that cannot be opened, read as 0.
DWORD ReadLoggingMechanism(Vornix::CRegKey* settingsKey);

} // namespace ETWLogging
