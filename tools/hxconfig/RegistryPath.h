#pragma once

#include <optional>
#include <string>

#include <windows.h>

namespace hxconfig {

struct RegistryPath {
    HKEY root;
    std::wstring subKey;
};

// "HKLM\SOFTWARE\Halvex\Logging" and the like (HKLM, HKCU, HKCR, HKU or their long names);
// empty when the root is unknown or no sub-key is given.
std::optional<RegistryPath> parseRegistryPath(const std::wstring& text);

} // namespace hxconfig
