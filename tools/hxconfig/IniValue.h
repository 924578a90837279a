#pragma once

#include <optional>
#include <string>

namespace hxconfig {

// A scrambled INI value to write: a number when number is set, else the text.
struct IniValue {
    std::wstring section;
    std::wstring name;
    std::optional<int> number;
    std::wstring text;
};

// The private-profile functions take a bare file name to mean the Windows folder.
std::wstring absoluteIniPath(const std::wstring& path);

// Writes the value scrambled into file (a missing file is made) and reads it back through the
// product's reader; a UTF-16 file is refused, and a write that does not read back is undone.
// The exit status; the reason on standard error.
int writeIniValue(const std::wstring& file, const IniValue& value);

} // namespace hxconfig
