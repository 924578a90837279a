#include "utils/Scrambler.h"

#include <new>

namespace Vornix {

namespace {
std::string_view effectiveKey(std::string_view key) {
    return key.empty() ? Scrambler::EMPTY_KEY_SUBSTITUTE : key;
}

const std::uint8_t* keyBytes(std::string_view key) {
    return reinterpret_cast<const std::uint8_t*>(key.data());
}

std::uint8_t add(std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(a + b);
}
std::uint8_t subtract(std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(a - b);
}
} // namespace

Scrambler::Scrambler(std::string_view key, std::uint32_t passes)
    : generator_(keyBytes(effectiveKey(key)), effectiveKey(key).size()), passes_(passes),
      feedback_(generator_.next()) {}

bool Scrambler::validArguments(std::uint32_t passes, const std::uint8_t* input, std::size_t size,
                               const std::uint8_t* output) {
    return passes != 0 && (size == 0 || (input != nullptr && output != nullptr));
}

DWORD Scrambler::scramble(std::string_view key, std::uint32_t passes, const std::uint8_t* input,
                          std::size_t size, std::uint8_t* output) {
    if (!validArguments(passes, input, size, output)) {
        return ERROR_ENCRYPTION_FAILED;
    }
    Scrambler scrambler(key, passes);
    for (std::size_t k = 0; k < size; ++k) {
        output[k] = scrambler.scrambleByte(input[k]);
    }
    return ERROR_SUCCESS;
}

DWORD Scrambler::descramble(std::string_view key, std::uint32_t passes, const std::uint8_t* input,
                            std::size_t size, std::uint8_t* output) {
    if (!validArguments(passes, input, size, output)) {
        return ERROR_DECRYPTION_FAILED;
    }
    Scrambler scrambler(key, passes);
    if (!scrambler.prepareWorkArrays()) {
        return ERROR_DECRYPTION_FAILED;
    }
    for (std::size_t k = 0; k < size; ++k) {
        output[k] = scrambler.descrambleByte(input[k]);
    }
    return ERROR_SUCCESS;
}

bool Scrambler::prepareWorkArrays() {
    if (passes_ <= FIXED_PASSES) {
        a_ = fixedA_.data();
        b_ = fixedB_.data();
        return true;
    }
    allocatedA_.reset(new (std::nothrow) std::uint8_t[passes_]);
    allocatedB_.reset(new (std::nothrow) std::uint8_t[passes_]);
    a_ = allocatedA_.get();
    b_ = allocatedB_.get();
    return a_ != nullptr && b_ != nullptr;
}

std::uint8_t Scrambler::scrambleByte(std::uint8_t plain) {
    feedback_ ^= plain;
    const std::uint8_t a = generator_.next();
    std::uint8_t c = generator_.next();
    c = add(c, a ^ feedback_);
    for (std::uint32_t pass = 1; pass < passes_; ++pass) {
        const std::uint8_t d = generator_.next();
        const std::uint8_t e = generator_.next();
        c = add(c ^ d, e);
    }
    return c;
}

// Undoes the passes of scrambleByte in reverse order, so it needs all of their generator
// bytes first.
std::uint8_t Scrambler::descrambleByte(std::uint8_t scrambled) {
    for (std::uint32_t pass = 0; pass < passes_; ++pass) {
        a_[pass] = generator_.next();
        b_[pass] = generator_.next();
    }
    std::uint8_t t = scrambled;
    for (std::uint32_t pass = passes_ - 1; pass >= 1; --pass) {
        t = subtract(t, b_[pass]) ^ a_[pass];
    }
    const std::uint8_t plain = a_[0] ^ feedback_ ^ subtract(t, b_[0]);
    feedback_ ^= plain;
    return plain;
}

} // namespace Vornix
