#pragma once

#include <cstddef>
#include <cstdint>

namespace Vornix {

// What the headers of scrambled registry and INI values share: they open with the magic
// "HXRG", and their numbers are 32 bits, least significant byte first, whatever the host.
class ScrambledHeaderFields {
public:
    static constexpr std::size_t MAGIC_SIZE = 4;

    static void putMagic(std::uint8_t* header);
    static bool hasMagic(const std::uint8_t* header);

    static void put32(std::uint8_t* bytes, std::uint32_t value);
    static std::uint32_t get32(const std::uint8_t* bytes);
};

} // namespace Vornix
