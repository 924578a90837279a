#include "analytics/SipHash.h"

#include <cstring>

namespace Corvane::Analytics {

namespace {

constexpr std::uint64_t rotate(std::uint64_t x, int bits) {
    return (x << bits) | (x >> (64 - bits));
}

class SipState {
public:
    explicit SipState(const SipHashKey& key)
        : v0_(key.k0 ^ 0x736f6d6570736575ULL), v1_(key.k1 ^ 0x646f72616e646f6dULL),
          v2_(key.k0 ^ 0x6c7967656e657261ULL), v3_(key.k1 ^ 0x7465646279746573ULL) {}

    template <int Rounds> void absorb(std::uint64_t word) {
        v3_ ^= word;
        rounds<Rounds>();
        v0_ ^= word;
    }

    template <int Rounds> std::uint64_t finish() {
        v2_ ^= 0xFF;
        rounds<Rounds>();
        return v0_ ^ v1_ ^ v2_ ^ v3_;
    }

private:
    template <int Rounds> void rounds() {
        for (int i = 0; i < Rounds; ++i) {
            v0_ += v1_;
            v1_ = rotate(v1_, 13) ^ v0_;
            v0_ = rotate(v0_, 32);
            v2_ += v3_;
            v3_ = rotate(v3_, 16) ^ v2_;
            v0_ += v3_;
            v3_ = rotate(v3_, 21) ^ v0_;
            v2_ += v1_;
            v1_ = rotate(v1_, 17) ^ v2_;
            v2_ = rotate(v2_, 32);
        }
    }

    std::uint64_t v0_;
    std::uint64_t v1_;
    std::uint64_t v2_;
    std::uint64_t v3_;
};

// Four code units make one little-endian word, which is how this target stores them.
template <int CompressionRounds, int FinalRounds>
std::uint64_t sipHash(const SipHashKey& key, std::wstring_view text) {
    static_assert(sizeof(wchar_t) == 2, "names are UTF-16");
    SipState state(key);
    const std::size_t whole = text.size() / 4 * 4;
    for (std::size_t i = 0; i < whole; i += 4) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        state.absorb<CompressionRounds>(word);
    }
    std::uint64_t last = std::uint64_t{(text.size() * 2) & 0xFF} << 56;
    for (std::size_t i = whole; i < text.size(); ++i) {
        last |= std::uint64_t{static_cast<std::uint16_t>(text[i])} << (16 * (i - whole));
    }
    state.absorb<CompressionRounds>(last);
    return state.finish<FinalRounds>();
}

} // namespace

std::uint64_t sipHash13(const SipHashKey& key, std::wstring_view text) {
    return sipHash<1, 3>(key, text);
}

std::uint64_t sipHash24(const SipHashKey& key, std::wstring_view text) {
    return sipHash<2, 4>(key, text);
}

} // namespace Corvane::Analytics
