#pragma once

#include "Arguments.h"

namespace hxconfig {

// block DLL VERSION | unblock DLL VERSION | blocked DLL: the library version block list,
// one scrambled string value per blocked file version, named and holding that version.
int runBlockListCommand(const std::wstring& verb, const Arguments& arguments);

} // namespace hxconfig
