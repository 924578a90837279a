#pragma once

#include <cstdint>

namespace Vornix {
namespace internal {

// A release's version as classified; 9x releases report major 4.
struct OSVersionRecord {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint16_t servicePackMajor = 0;
};

} // namespace internal
} // namespace Vornix
