#include "utils/ScrambledHeaderFields.h"

#include <cstring>

namespace Vornix {

namespace {
constexpr std::uint8_t magic[ScrambledHeaderFields::MAGIC_SIZE] = {'H', 'X', 'R', 'G'};
} // namespace

void ScrambledHeaderFields::putMagic(std::uint8_t* header) {
    std::memcpy(header, magic, sizeof magic);
}

bool ScrambledHeaderFields::hasMagic(const std::uint8_t* header) {
    return std::memcmp(header, magic, sizeof magic) == 0;
}

void ScrambledHeaderFields::put32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t ScrambledHeaderFields::get32(const std::uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

} // namespace Vornix
