#pragma once

#include "analytics/SipHash.h"

namespace Corvane::Analytics {

// A key drawn once per process from the system's random source, so that no client can
// choose names that meet in the attribute index.
const SipHashKey& processHashKey();

} // namespace Corvane::Analytics
