#include "Logging/CLogIniSettings.h"

#include <cstdint>
#include <new>

#include "Logging/LogFileDefaults.h"
#include "Logging/LogIniSetting.h"
#include "utils/CObfuscatedIniReader.h"
#include "utils/FileSystemHelpers.h"

namespace ETWLogging {

namespace {

using Vornix::CObfuscatedIniReader;

// The fields in the order of LogIniSetting::All(), which is the order the values are read
// and their defaults may be written back in.
constexpr std::optional<DWORD> CLogIniSettings::*targets[] = {
    &CLogIniSettings::enable, &CLogIniSettings::maxSize, &CLogIniSettings::maxEntries,
    &CLogIniSettings::severity, &CLogIniSettings::options};
static_assert(sizeof(targets) / sizeof(targets[0]) == 5, "one field per setting");

enum class Lookup { Absent, Valid, Replaced, Unreplaceable };

// A value out of range is overwritten with the default, so that the file is put right once.
Lookup LookUp(CObfuscatedIniReader& file, const LogIniSetting& rule, int& value) {
    if (!file.GetInt(LOG_INI_SECTION, rule.Name(), value)) {
        return Lookup::Absent;
    }
    if (rule.IsValid(value)) {
        return Lookup::Valid;
    }
    return file.WriteInt(LOG_INI_SECTION, rule.Name(), rule.Default()) ? Lookup::Replaced : Lookup::Unreplaceable;
}

std::optional<DWORD> Determine(const LogIniSetting& rule, CObfuscatedIniReader& perLog,
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
        return static_cast<DWORD>(rule.Default());
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
        for (std::size_t i = 0; i < LogIniSetting::All().size(); ++i) {
            this->*targets[i] = Determine(LogIniSetting::All()[i], perLog, global);
        }
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

} // namespace ETWLogging
