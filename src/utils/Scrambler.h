#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include <windows.h>

#include "utils/Rc4Generator.h"

namespace Vornix {

// Keyed byte scrambling for stored settings: an ARCFOUR keystream mixed with a running
// feedback byte, so that equal plaintext bytes do not give equal output bytes. The keying is
// fixed, so scrambling the same data twice gives the same bytes. One object per call.
class Scrambler {
  public:
    // RC4 keys: the text bytes without terminator.
    static constexpr std::string_view REGISTRY_KEY{"{6B2A9F41-7C3E-4d58-A0F6-2E9B1C7D3A85}"};
    static constexpr std::string_view INI_KEY{"{2F9E6C31-B7A4-4c82-95D0-8A3E7B1F6C24}"};
    static constexpr std::string_view EMPTY_KEY_SUBSTITUTE{"{C83F5E12-4A9D-4b07-9E61-7F2C0B8D4E39}"};

    // An empty key stands for EMPTY_KEY_SUBSTITUTE; passes must be at least 1. Bytes are
    // handled one at a time in order, so output may be the same buffer as input.
    // 0, or ERROR_ENCRYPTION_FAILED (6000) / ERROR_DECRYPTION_FAILED (6001).
    static DWORD scramble(std::string_view key, std::uint32_t passes, const std::uint8_t* input,
                          std::size_t size, std::uint8_t* output);
    static DWORD descramble(std::string_view key, std::uint32_t passes, const std::uint8_t* input,
                            std::size_t size, std::uint8_t* output);

  private:
    // Passes up to this many use the fixed work arrays; more are allocated.
    static constexpr std::uint32_t FIXED_PASSES = 5;

    Scrambler(std::string_view key, std::uint32_t passes);

    static bool validArguments(std::uint32_t passes, const std::uint8_t* input, std::size_t size,
                               const std::uint8_t* output);
    bool prepareWorkArrays();
    std::uint8_t scrambleByte(std::uint8_t plain);
    std::uint8_t descrambleByte(std::uint8_t scrambled);

    internal::Rc4Generator generator_;
    std::uint32_t passes_;
    std::uint8_t feedback_;
    std::array<std::uint8_t, FIXED_PASSES> fixedA_{};
    std::array<std::uint8_t, FIXED_PASSES> fixedB_{};
    std::unique_ptr<std::uint8_t[]> allocatedA_;
    std::unique_ptr<std::uint8_t[]> allocatedB_;
    std::uint8_t* a_ = nullptr;
    std::uint8_t* b_ = nullptr;
};

} // namespace Vornix
