#pragma once

#include <windows.h>

namespace Vornix {
class CRegKey;
}

namespace ETWLogging {

// Where the mechanism is configured: a scrambled DWORD under HKEY_LOCAL_MACHINE; 1 selects
// log files, anything else the trace provider.
extern const wchar_t* const LOGGING_SETTINGS_KEY;    // "SOFTWARE\Halvex\Logging"
extern const wchar_t* const LOGGING_MECHANISM_VALUE; // "Logging Mechanism"

// The configured "Logging Mechanism": read from settingsKey when given, else from the machine's
// LOGGING_SETTINGS_KEY, and only when stored scrambled. Missing, unreadable or plain values,
// and a key that cannot be opened, read as 0.
DWORD ReadLoggingMechanism(Vornix::CRegKey* settingsKey);

} // namespace ETWLogging
