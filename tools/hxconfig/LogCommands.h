#pragma once

#include "Arguments.h"

namespace hxconfig {

// log mechanism file|trace|show | log set NAME VALUE [--exe NAME] | log get NAME [--exe NAME]:
// the product's logging settings.
int runLogCommand(const Arguments& arguments);

} // namespace hxconfig
