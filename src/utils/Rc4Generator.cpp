#include "utils/Rc4Generator.h"

#include <numeric>
#include <utility>

namespace Vornix::internal {

Rc4Generator::Rc4Generator(const std::uint8_t* key, std::size_t keySize) {
    std::iota(state_.begin(), state_.end(), std::uint8_t{0});
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < state_.size(); ++i) {
        j = static_cast<std::uint8_t>(j + state_[i] + key[i % keySize]);
        std::swap(state_[i], state_[j]);
    }
}

std::uint8_t Rc4Generator::next() {
    ++i_;
    j_ = static_cast<std::uint8_t>(j_ + state_[i_]);
    std::swap(state_[i_], state_[j_]);
    return state_[static_cast<std::uint8_t>(state_[i_] + state_[j_])];
}

} // namespace Vornix::internal
