#include "LogSettingCommands.h"

#include <climits>
#include <cstdio>

#include <windows.h>

#include "Arguments.h"
#include "ConsoleText.h"
#include "IniValue.h"
#include "LogLocations.h"
#include "Logging/LogIniSetting.h"
#include "NumberText.h"
#include "ToolError.h"
#include "utils/CObfuscatedIniReader.h"
#include "utils/FileSystemHelpers.h"

namespace hxconfig {

namespace {
using ETWLogging::LogIniSetting;
using Vornix::CObfuscatedIniReader;

int findSetting(const std::wstring& name, const LogIniSetting*& setting) {
    setting = LogIniSetting::Find(name);
    if (setting != nullptr) {
        return exitOk;
    }
    std::wstring names;
    for (const LogIniSetting& each : LogIniSetting::All()) {
        names += (names.empty() ? L"" : L", ") + std::wstring(each.Name());
    }
    return reportUsage(L"\"" + name + L"\" is no logging setting; the settings are " + names);
}

std::wstring rangeOf(const LogIniSetting& setting) {
    return std::to_wstring(setting.Min()) + L" to " + std::to_wstring(setting.Max());
}

int parseValue(const LogIniSetting& setting, const std::wstring& text, int& value) {
    const auto number = parseSigned(text, LLONG_MIN, LLONG_MAX);
    if (!number || *number < setting.Min() || *number > setting.Max()) {
        return reportUsage(std::wstring(setting.Name()) + L" takes a number from " + rangeOf(setting) +
                           L" (decimal or 0x-hexadecimal); \"" + text + L"\" is refused and nothing was written");
    }
    value = static_cast<int>(*number);
    return exitOk;
}

// The logger makes its folders only when it first writes; a setting may come before that.
int makeFolderOf(const std::wstring& path) {
    const std::wstring folder = path.substr(0, path.rfind(L'\\'));
    if (const DWORD error = Vornix::createDirectoryTree(folder.c_str())) {
        return reportError(L"cannot create " + folder, error);
    }
    return exitOk;
}

void warnWhenInvalid(const LogIniSetting& setting, int value) {
    if (!setting.IsValid(value)) {
        hxtools::writeLine(stderr, L"hxconfig: warning: " + std::wstring(setting.Name()) + L" is outside " +
                                       rangeOf(setting) + L"; the logger replaces it with " +
                                       std::to_wstring(setting.Default()));
    }
}
} // namespace

int setLogSetting(const std::wstring& name, const std::wstring& text, const std::optional<std::wstring>& executable) {
    const LogIniSetting* setting = nullptr;
    int value = 0;
    std::wstring path;
    if (const int status = findSetting(name, setting)) {
        return status;
    }
    if (const int status = parseValue(*setting, text, value)) {
        return status;
    }
    if (const int status = settingsIniOf(executable, path)) {
        return status;
    }
    if (const int status = makeFolderOf(path)) {
        return status;
    }
    return writeIniValue(path, IniValue{ETWLogging::LOG_INI_SECTION, setting->Name(), value, L""});
}

int getLogSetting(const std::wstring& name, const std::optional<std::wstring>& executable) {
    const LogIniSetting* setting = nullptr;
    std::wstring path;
    if (const int status = findSetting(name, setting)) {
        return status;
    }
    if (const int status = settingsIniOf(executable, path)) {
        return status;
    }
    CObfuscatedIniReader reader(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    int value = 0;
    if (!reader.Load(path) || !reader.GetInt(ETWLogging::LOG_INI_SECTION, setting->Name(), value)) {
        return reportFailure(L"no scrambled value " + std::wstring(ETWLogging::LOG_INI_SECTION) + L"." +
                             setting->Name() + L" in " + path + L" (the default is " +
                             std::to_wstring(setting->Default()) + L")");
    }
    hxtools::writeLine(stdout, std::to_wstring(value));
    warnWhenInvalid(*setting, value);
    return exitOk;
}

} // namespace hxconfig
