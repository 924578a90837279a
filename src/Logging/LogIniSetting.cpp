#include "Logging/LogIniSetting.h"

#include <climits>
#include <cwchar>

#include "utils/CBaseIniReader.h"

namespace ETWLogging {

namespace {
// Enable and Options take any value; Severity 0 lets every level through.
constexpr std::array<LogIniSetting, 5> settings = {{
    {L"Enable", LOG_FILE_DEFAULT_ENABLED, INT_MIN, INT_MAX},
    {L"MaxSize", LOG_FILE_DEFAULT_MAX_SIZE, LOG_FILE_MIN_MAX_SIZE, LOG_FILE_MAX_MAX_SIZE},
    {L"MaxEntries", LOG_FILE_DEFAULT_MAX_ENTRIES, LOG_FILE_MIN_MAX_ENTRIES, LOG_FILE_MAX_MAX_ENTRIES},
    {L"Severity", LOG_FILE_DEFAULT_SEVERITY, 0, LOG_FILE_MAX_CONFIGURED_SEVERITY},
    {L"Options", LOG_FILE_DEFAULT_OPTIONS, INT_MIN, INT_MAX},
}};
} // namespace

const std::array<LogIniSetting, 5>& LogIniSetting::All() {
    return settings;
}

const LogIniSetting* LogIniSetting::Find(const std::wstring& name) {
    for (const LogIniSetting& setting : All()) {
        if (_wcsicmp(setting.name_, name.c_str()) == 0) {
            return &setting;
        }
    }
    return nullptr;
}

bool LogIniSetting::ValidIn(const Vornix::CBaseIniReader& ini, int& value) const {
    return ini.GetInt(LOG_INI_SECTION, name_, value) && IsValid(value);
}

int LogIniSetting::Effective(const Vornix::CBaseIniReader& perExecutable, const Vornix::CBaseIniReader& root) const {
    int value = 0;
    if (ValidIn(perExecutable, value) || ValidIn(root, value)) {
        return value;
    }
    return default_;
}

} // namespace ETWLogging
