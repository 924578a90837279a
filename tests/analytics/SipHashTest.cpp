#include "analytics/SipHash.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace {

using namespace Corvane::Analytics;

// The bytes 00 01 02 ... as code units, low byte first: the published vectors of even length.
std::wstring countingBytes(std::size_t byteCount) {
    std::wstring text;
    for (std::size_t i = 0; i < byteCount; i += 2) {
        text += static_cast<wchar_t>(i | (i + 1) << 8);
    }
    return text;
}

struct Vector {
    std::size_t bytes;
    std::uint64_t hash;
};

TEST(SipHash, MatchesThePublishedVectors) {
    const SipHashKey counting{0x0706050403020100ULL, 0x0f0e0d0c0b0a0908ULL};
    const Vector fullStrength[] = {
        {0, 0x726fdb47dd0e0e31ULL},  {2, 0x0d6c8009d9a94f5aULL},  {6, 0xcbc9466e58fee3ceULL},
        {8, 0x93f5f5799a932462ULL},  {14, 0xf723ca908e7af2eeULL}, {16, 0x3f2acc7f57c29bdbULL},
        {22, 0x93536795e3a33e88ULL}, {62, 0xe51b38608ef25f57ULL},
    };
    for (const auto& v : fullStrength) {
        EXPECT_EQ(v.hash, sipHash24(counting, countingBytes(v.bytes))) << "2-4 over " << v.bytes << " bytes";
    }
    const SipHashKey zero{0, 0};
    const Vector fast[] = {
        {0, 0xd1fba762150c532cULL},  {2, 0x010bac45c41e3669ULL},  {6, 0xe3c25f87624f1cdbULL},
        {8, 0xead411e67ebe2eeaULL},  {14, 0x7f86049379fbfe67ULL}, {16, 0x8972188433a5c5b7ULL},
        {22, 0xf8aeb1066236ccfeULL}, {36, 0xac77921fcc642bd3ULL},
    };
    for (const auto& v : fast) {
        EXPECT_EQ(v.hash, sipHash13(zero, countingBytes(v.bytes))) << "1-3 over " << v.bytes << " bytes";
    }
}

TEST(SipHash, DependsOnTheKeyAndOnTheHighByteOfEachUnit) {
    const SipHashKey key{1, 2};
    EXPECT_NE(sipHash13(key, L"name"), sipHash13(SipHashKey{1, 3}, L"name"));
    EXPECT_NE(sipHash13(key, L"\u0041"), sipHash13(key, L"\u0141"));
    EXPECT_NE(sipHash13(key, std::wstring(L"a\0", 2)), sipHash13(key, L"a"));
}

} // namespace
