#pragma once

#include "Arguments.h"

namespace hxconfig {

// reg get KEY NAME | reg set KEY NAME dword|qword|sz|multi_sz VALUE... | reg delete KEY NAME,
// for values stored scrambled.
int runRegistryCommand(const Arguments& arguments);

} // namespace hxconfig
