#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace Vornix::internal {

// The ARCFOUR keystream generator, unmodified, so that stored values stay readable by any
// implementation of the published algorithm.
class Rc4Generator {
  public:
    // keySize must not be 0.
    Rc4Generator(const std::uint8_t* key, std::size_t keySize);

    std::uint8_t next();

  private:
    std::array<std::uint8_t, 256> state_{};
    std::uint8_t i_ = 0;
    std::uint8_t j_ = 0;
};

} // namespace Vornix::internal
