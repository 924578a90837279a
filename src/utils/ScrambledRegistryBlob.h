#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

namespace Vornix {

// The stored form of a scrambled registry value: "HXRG", version 1, payload length, original
// type, MD5 over the whole blob (taken with these 16 bytes zeroed), then the scrambled payload.
class ScrambledRegistryBlob {
public:
    static constexpr std::size_t HEADER_SIZE = 32;

    // 0, ERROR_NOT_ENOUGH_MEMORY (8), ERROR_ENCRYPTION_FAILED (6000) or a CNG error.
    static DWORD Seal(DWORD type, const std::string& payload, std::vector<std::uint8_t>& blob);

    // Checks size, digest, length and magic (ERROR_INVALID_DATA, 13, when any fails) and
    // reports the recorded type; with payload given, also descrambles it.
    static DWORD Open(const std::vector<std::uint8_t>& blob, DWORD& type, std::string* payload);
};

} // namespace Vornix
