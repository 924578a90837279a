#pragma once

#include <optional>
#include <string>

#include <windows.h>

namespace ETWLogging {

// The file logger's settings from section "Config" of its two "log.ini" files: the
// per-executable file first, then the root file. Only scrambled values count. A value out of
// its range is replaced in its file by the default; when that write fails the setting is left
// alone. Read once when the logger is initialised.
class CLogIniSettings {
public:
    // 0, or 14 when memory runs out (the settings read so far stay).
    DWORD Read(const std::wstring& perLogIniPath, const std::wstring& globalIniPath) noexcept;

    // Empty: leave the logger's own value.
    std::optional<DWORD> enable;
    std::optional<DWORD> maxSize;
    std::optional<DWORD> maxEntries;
    std::optional<DWORD> severity;
    std::optional<DWORD> options;
};

} // namespace ETWLogging
