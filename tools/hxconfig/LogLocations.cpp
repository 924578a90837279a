#include "LogLocations.h"

#include "Arguments.h"
#include "Logging/LogLevels.h"
#include "ToolError.h"

namespace hxconfig {

using ETWLogging::LogFileLayout;

namespace {
int rootFolder(std::wstring& root) {
    if (const DWORD error = LogFileLayout::RootFolder(root)) {
        return reportError(L"cannot find the common application-data folder", error);
    }
    return exitOk;
}

LogFileLayout layoutIn(const std::wstring& root, const std::wstring& executable) {
    return LogFileLayout(root, ETWLogging::defaultGroup, executable, ETWLogging::defaultHost);
}
} // namespace

int logLayoutOf(const std::wstring& executable, std::optional<LogFileLayout>& layout) {
    std::wstring root;
    if (const int status = rootFolder(root)) {
        return status;
    }
    layout = layoutIn(root, executable);
    return exitOk;
}

int settingsIniOf(const std::optional<std::wstring>& executable, std::wstring& path) {
    std::wstring root;
    if (const int status = rootFolder(root)) {
        return status;
    }
    path = executable ? layoutIn(root, *executable).PerExecutableIniPath() : LogFileLayout::RootIniPath(root);
    return exitOk;
}

} // namespace hxconfig
