#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace hxconfig {

// log show --exe NAME [--lines N]: the lines of the executable's log files, oldest file first,
// as UTF-8; only the last N lines with a limit.
int showLog(const std::wstring& executable, std::optional<std::size_t> lines);

} // namespace hxconfig
