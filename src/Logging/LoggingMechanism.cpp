#include "Logging/LoggingMechanism.h"

#include <new>

#include "utils/CObfuscatedRegKey.h"

namespace ETWLogging {

namespace {
const wchar_t* const mechanismValue = L"Logging Mechanism";

DWORD ReadFrom(Vornix::CRegKey& key) {
    DWORD value = 0;
    return key.ReadDword(mechanismValue, value) == ERROR_SUCCESS ? value : 0;
}
} // namespace

DWORD ReadLoggingMechanism(Vornix::CRegKey* settingsKey) {
    if (settingsKey != nullptr) {
        return ReadFrom(*settingsKey);
    }
    try {
        Vornix::CObfuscatedRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Halvex\\Logging", KEY_QUERY_VALUE) != ERROR_SUCCESS) {
            return 0;
        }
        return ReadFrom(key);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

} // namespace ETWLogging
