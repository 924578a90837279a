#include "Logging/LogIniSetting.h"

#include <climits>
#include <cwchar>

#include "utils/CBaseIniReader.h"

namespace ETWLogging {

const wchar_t* const LOG_INI_SECTION = L"Config";
const wchar_t* const LOG_INI_LAST_INDEX = L"LastLogIdx";

namespace {
// Enable and Options take any value; Severity 0 lets every level through.
constexpr std::array<LogIniSetting, 5> settings = {{
    {L"Enable", 1, INT_MIN, INT_MAX},
    {L"MaxSize", 0x40000, 0x40000, 0xA00000},
    {L"MaxEntries", 3, 2, 100},
    {L"Severity", 3, 0, 6},
    {L"Options", 16, INT_MIN, INT_MAX},
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
