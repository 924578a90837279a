#pragma once

#include <functional>

#include "status/ModuleStatus.h"

namespace Corvane {

// Runs code that must not let an exception escape: whatever it throws (and an empty
// function) becomes MODULE_STATUS_UNKNOWN_EXCEPTION. Nothing is logged.
MODULE_STATUS guardedCall(const std::function<MODULE_STATUS()>& call) noexcept;

} // namespace Corvane
