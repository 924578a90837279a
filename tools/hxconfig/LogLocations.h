#pragma once

#include <optional>
#include <string>

#include "Logging/LogFileLayout.h"

namespace hxconfig {

// Where the product's loggers keep an executable's logs: every caller logs under the group
// "_no_group" and the host "_no_host". The exit status; the reason on standard error.
int logLayoutOf(const std::wstring& executable, std::optional<ETWLogging::LogFileLayout>& layout);

// The "log.ini" that holds the settings: the executable's with one, else the root one.
int settingsIniOf(const std::optional<std::wstring>& executable, std::wstring& path);

} // namespace hxconfig
