#pragma once

#include <string>

namespace Vornix {
namespace internal {

// Source of the system library's product version text, e.g. "10.0.18362.1350".
class ISystemVersionReader {
public:
    virtual ~ISystemVersionReader() = default;
    // False when the version resource cannot be read; a missing value gives true and "".
    virtual bool readProductVersion(std::wstring& text) = 0;
};

} // namespace internal
} // namespace Vornix
