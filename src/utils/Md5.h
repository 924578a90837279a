#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <windows.h>

namespace Vornix {

using Md5Digest = std::array<std::uint8_t, 16>;

// The MD5 digest of size bytes at data (which may be null when size is 0), through the
// system's CNG provider. 0 or a Windows error number; digest is untouched on failure.
DWORD md5(const void* data, std::size_t size, Md5Digest& digest);

} // namespace Vornix
