#include "LogCommands.h"

#include "LogArguments.h"
#include "LogMechanismCommand.h"
#include "LogSettingCommands.h"
#include "LogShowCommand.h"
#include "ToolError.h"

namespace hxconfig {

namespace {
int runMechanism(const LogArguments& parsed) {
    if (parsed.executable) {
        return reportUsage(L"the logging mechanism holds for every executable: --exe does not go with it");
    }
    return parsed.words.size() == 2 ? runLogMechanismCommand(parsed.words[1]) : exitUsage;
}

// The logs are kept per executable, and no executable is the obvious one: the product runs
// inside whichever program loads it.
int runShow(const LogArguments& parsed) {
    if (parsed.words.size() != 1) {
        return exitUsage;
    }
    if (!parsed.executable) {
        return reportUsage(L"log show needs --exe NAME: each executable has logs of its own");
    }
    return showLog(*parsed.executable, parsed.lines);
}
} // namespace

int runLogCommand(const Arguments& arguments) {
    LogArguments parsed;
    if (const int status = parseLogArguments(arguments, parsed)) {
        return status;
    }
    const std::wstring verb = parsed.words.empty() ? L"" : parsed.words[0];
    if (verb == L"show") {
        return runShow(parsed);
    }
    if (parsed.lines) {
        return reportUsage(L"--lines goes with log show only");
    }
    if (verb == L"mechanism") {
        return runMechanism(parsed);
    }
    if (verb == L"set" && parsed.words.size() == 3) {
        return setLogSetting(parsed.words[1], parsed.words[2], parsed.executable);
    }
    if (verb == L"get" && parsed.words.size() == 2) {
        return getLogSetting(parsed.words[1], parsed.executable);
    }
    return exitUsage;
}

} // namespace hxconfig
