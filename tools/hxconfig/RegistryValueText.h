#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "utils/CRegKey.h"

namespace hxconfig {

// The value's type and its text: numbers in decimal, a list one item a line, other data in hex.
// A Windows error number.
DWORD readValueText(Vornix::CRegKey& key, const wchar_t* name, DWORD& type, std::vector<std::wstring>& lines);

} // namespace hxconfig
