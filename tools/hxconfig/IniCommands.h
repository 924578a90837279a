#pragma once

#include "Arguments.h"

namespace hxconfig {

// ini get FILE SECTION NAME | ini set FILE SECTION NAME int|text VALUE, for scrambled values.
int runIniCommand(const Arguments& arguments);

} // namespace hxconfig
