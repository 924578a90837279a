#pragma once

#include <cstdint>

namespace Vornix {
namespace internal {

// A product version such as 10.0.18362.1350.
struct ModuleVersionQuad {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    uint32_t revision = 0;
};

} // namespace internal
} // namespace Vornix
