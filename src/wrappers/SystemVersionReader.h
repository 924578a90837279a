#pragma once

#include "wrappers/ISystemVersionReader.h"

namespace Vornix {
namespace internal {

// Reads "ProductVersion" of kernel32.dll in the system folder; the file is read on every call.
class SystemVersionReader : public ISystemVersionReader {
public:
    bool readProductVersion(std::wstring& text) override;
};

} // namespace internal
} // namespace Vornix
