#pragma once

#include <optional>
#include <string>

namespace hxconfig {

// log set NAME VALUE [--exe NAME] | log get NAME [--exe NAME]: one of the file logger's
// settings in section "Config" of the root "log.ini", or of the executable's own.
int setLogSetting(const std::wstring& name, const std::wstring& value, const std::optional<std::wstring>& executable);
int getLogSetting(const std::wstring& name, const std::optional<std::wstring>& executable);

} // namespace hxconfig
