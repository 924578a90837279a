#pragma once

#include <string>

#include <windows.h>

namespace hxreport {

// "NAME (0x%08X)" for the results a report can give, else just the number.
std::wstring describeHresult(HRESULT result);

} // namespace hxreport
