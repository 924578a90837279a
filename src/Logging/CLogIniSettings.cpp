#include "Logging/CLogIniSettings.h"

#include <cstdint>
#include <new>

#include "Logging/LogFileDefaults.h"
#include "utils/CObfuscatedIniReader.h"
#include "utils/FileSystemHelpers.h"

namespace ETWLogging {

namespace {

using Vornix::CObfuscatedIniReader;

struct SettingRule {
    const wchar_t* name;
    std::optional<DWORD> CLogIniSettings::*target;
    int defaultValue;
    std::int64_t minimum;
    std::int64_t maximum;
};

constexpr std::int64_t ANY_MIN = INT32_MIN;
constexpr std::int64_t ANY_MAX = INT32_MAX;

// In the order they are read, which is the order their defaults may be written back in.
const SettingRule rules[] = {
    {L"Enable", &CLogIniSettings::enable, LOG_FILE_DEFAULT_ENABLED, ANY_MIN, ANY_MAX},
    {L"MaxSize", &CLogIniSettings::maxSize, LOG_FILE_DEFAULT_MAX_SIZE, LOG_FILE_MIN_MAX_SIZE,
     LOG_FILE_MAX_MAX_SIZE},
    {L"MaxEntries", &CLogIniSettings::maxEntries, LOG_FILE_DEFAULT_MAX_ENTRIES, LOG_FILE_MIN_MAX_ENTRIES,
     LOG_FILE_MAX_MAX_ENTRIES},
    {L"Severity", &CLogIniSettings::severity, LOG_FILE_DEFAULT_SEVERITY, 0, LOG_FILE_MAX_CONFIGURED_SEVERITY},
    {L"Options", &CLogIniSettings::options, LOG_FILE_DEFAULT_OPTIONS, ANY_MIN, ANY_MAX},
};

enum class Lookup { Absent, Valid, Replaced, Unreplaceable };

// A value out of range is overwritten with the default, so that the file is put right once.
Lookup LookUp(CObfuscatedIniReader& file, const SettingRule& rule, int& value) {
    if (!file.GetInt(LOG_INI_SECTION, rule.name, value)) {
        return Lookup::Absent;
    }
    if (value >= rule.minimum && value <= rule.maximum) {
        return Lookup::Valid;
    }
    return file.WriteInt(LOG_INI_SECTION, rule.name, rule.defaultValue) ? Lookup::Replaced
                                                                        : Lookup::Unreplaceable;
}

std::optional<DWORD> Determine(const SettingRule& rule, CObfuscatedIniReader& perLog,
                               CObfuscatedIniReader& global) {
    int value = 0;
    const Lookup own = LookUp(perLog, rule, value);
    if (own == Lookup::Valid) {
        return static_cast<DWORD>(value);
    }
    if (own == Lookup::Unreplaceable) {
        return std::nullopt;
    }
    switch (LookUp(global, rule, value)) {
    case Lookup::Valid:
        return static_cast<DWORD>(value);
    case Lookup::Unreplaceable:
        return std::nullopt;
    default:
        return static_cast<DWORD>(rule.defaultValue);
    }
}

} // namespace

DWORD CLogIniSettings::Read(const std::wstring& perLogIniPath, const std::wstring& globalIniPath) noexcept {
    if (!Vornix::fileExists(perLogIniPath.c_str()) && !Vornix::fileExists(globalIniPath.c_str())) {
        return ERROR_SUCCESS;
    }
    try {
        CObfuscatedIniReader perLog(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
        CObfuscatedIniReader global(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
        perLog.Load(perLogIniPath);
        global.Load(globalIniPath);
        for (const SettingRule& rule : rules) {
            this->*rule.target = Determine(rule, perLog, global);
        }
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

} // namespace ETWLogging
