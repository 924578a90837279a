#include "Utf16Evidence.h"

#include <algorithm>
#include <cstddef>

namespace hxconfig {

namespace {
// Enough of a settings file to tell its encoding.
constexpr std::size_t sampleBytes = 4096;

bool startsWith(const std::string& bytes, const char* mark) {
    return bytes.compare(0, 2, mark, 2) == 0;
}

// True when at least half of the sample's byte pairs hold a zero byte at offset zeroAt only,
// as text in the Latin range does in UTF-16.
bool zeroInEveryOtherByte(const std::string& bytes, std::size_t zeroAt) {
    const std::size_t pairs = std::min(bytes.size(), sampleBytes) / 2;
    std::size_t matching = 0;
    for (std::size_t pair = 0; pair < pairs; ++pair) {
        const char zero = bytes[2 * pair + zeroAt];
        const char other = bytes[2 * pair + 1 - zeroAt];
        matching += zero == '\0' && other != '\0' ? 1 : 0;
    }
    return pairs > 0 && 2 * matching >= pairs;
}
} // namespace

std::optional<std::wstring> utf16Evidence(const std::string& bytes) {
    if (startsWith(bytes, "\xFF\xFE")) {
        return L"byte-order mark FF FE";
    }
    if (startsWith(bytes, "\xFE\xFF")) {
        return L"byte-order mark FE FF";
    }
    if (zeroInEveryOtherByte(bytes, 1) || zeroInEveryOtherByte(bytes, 0)) {
        return L"zero bytes between its characters";
    }
    return std::nullopt;
}

} // namespace hxconfig
