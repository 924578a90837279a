#pragma once

#include <cstdint>
#include <string_view>

namespace Corvane::Analytics {

struct SipHashKey {
    std::uint64_t k0;
    std::uint64_t k1;
};

// SipHash over the UTF-16 code units of a text, low byte first. 1-3 keys the attribute
// index (short names, hot path); 2-4 is the full-strength variant.
std::uint64_t sipHash13(const SipHashKey& key, std::wstring_view text);
std::uint64_t sipHash24(const SipHashKey& key, std::wstring_view text);

} // namespace Corvane::Analytics
