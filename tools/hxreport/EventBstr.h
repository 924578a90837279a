#pragma once

#include <string>

#include "utils/UniqueBstr.h"

namespace hxreport {

// The whole event text as a BSTR, NULs included; empty when out of memory.
Corvane::Com::UniqueBstr toEventBstr(const std::wstring& event);

} // namespace hxreport
