#pragma once

#include "Arguments.h"

namespace hxconfig {

// log mechanism file|trace|show | log set NAME VALUE [--exe NAME] | log get NAME [--exe NAME] |
// log show --exe NAME [--lines N]: the product's logging settings and its log files.
int runLogCommand(const Arguments& arguments);

} // namespace hxconfig
