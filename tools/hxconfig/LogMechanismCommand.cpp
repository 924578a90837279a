#include "LogMechanismCommand.h"

#include <cstdio>

#include <windows.h>

#include "Arguments.h"
#include "ConsoleText.h"
#include "Logging/LogLevels.h"
#include "Logging/LoggingMechanism.h"
#include "ToolError.h"
#include "utils/CObfuscatedRegKey.h"

namespace hxconfig {

namespace {
using namespace ETWLogging;

// What the product does with the value: only 1 means files, so "trace" writes 0.
constexpr DWORD traceMechanism = 0;

std::wstring valuePath() {
    return std::wstring(L"HKLM\\") + LOGGING_SETTINGS_KEY + L"\\" + LOGGING_MECHANISM_VALUE;
}

int show() {
    hxtools::writeLine(stdout, ReadLoggingMechanism(nullptr) == LOG_MECHANISM_FILE ? L"file" : L"trace");
    return exitOk;
}

int set(DWORD mechanism) {
    Vornix::CObfuscatedRegKey key;
    if (const DWORD error = key.Create(HKEY_LOCAL_MACHINE, LOGGING_SETTINGS_KEY)) {
        return reportError(std::wstring(L"cannot create HKLM\\") + LOGGING_SETTINGS_KEY, error);
    }
    if (const DWORD error = key.WriteDword(LOGGING_MECHANISM_VALUE, mechanism)) {
        return reportError(L"cannot write " + valuePath(), error);
    }
    // Through the logger builder's own reader.
    if (ReadLoggingMechanism(nullptr) != mechanism) {
        return reportFailure(valuePath() + L" does not read back as written");
    }
    return exitOk;
}
} // namespace

int runLogMechanismCommand(const std::wstring& word) {
    if (word == L"file") {
        return set(LOG_MECHANISM_FILE);
    }
    if (word == L"trace") {
        return set(traceMechanism);
    }
    if (word == L"show") {
        return show();
    }
    return reportUsage(L"log mechanism takes file, trace or show, not \"" + word + L"\"");
}

} // namespace hxconfig
