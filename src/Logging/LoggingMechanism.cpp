#include "Logging/LoggingMechanism.h"

#include <new>

#include "utils/CObfuscatedRegKey.h"

namespace ETWLogging {

const wchar_t* const LOGGING_SETTINGS_KEY = L"SOFTWARE\\Halvex\\Logging";
const wchar_t* const LOGGING_MECHANISM_VALUE = L"Logging Mechanism";

namespace {
DWORD ReadFrom(Vornix::CRegKey& key) {
    DWORD value = 0;
    return key.ReadDword(LOGGING_MECHANISM_VALUE, value) == ERROR_SUCCESS ? value : 0;
}
} // namespace

DWORD ReadLoggingMechanism(Vornix::CRegKey* settingsKey) {
    if (settingsKey != nullptr) {
        return ReadFrom(*settingsKey);
    }
    try {
        Vornix::CObfuscatedRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, LOGGING_SETTINGS_KEY, KEY_QUERY_VALUE) != ERROR_SUCCESS) {
            return 0;
        }
        return ReadFrom(key);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

} // namespace ETWLogging
