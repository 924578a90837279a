#include "utils/Scrambler.h"
#include "utils/Rc4Generator.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Vornix::Scrambler;

Bytes keystream(const Bytes& key, std::size_t count) {
    Vornix::internal::Rc4Generator generator(key.data(), key.size());
    Bytes out(count);
    for (auto& byte : out) {
        byte = generator.next();
    }
    return out;
}

Bytes scrambled(std::string_view key, std::uint32_t passes, const Bytes& data) {
    Bytes out(data.size());
    EXPECT_EQ(0u, Scrambler::scramble(key, passes, data.data(), data.size(), out.data()));
    return out;
}

Bytes descrambled(std::string_view key, std::uint32_t passes, const Bytes& data) {
    Bytes out(data.size());
    EXPECT_EQ(0u, Scrambler::descramble(key, passes, data.data(), data.size(), out.data()));
    return out;
}

// Every byte value, then runs of equal bytes, which the feedback must still vary.
Bytes sampleData() {
    Bytes data;
    for (int value = 0; value < 256; ++value) {
        data.push_back(static_cast<std::uint8_t>(value));
    }
    data.insert(data.end(), 40, 0x00);
    data.insert(data.end(), 40, 0xFF);
    return data;
}

// RFC 6229 test vectors.
TEST(Rc4Generator, ProducesThePublishedKeystream) {
    const struct {
        Bytes key;
        Bytes stream;
    } cases[] = {
        {{0x01, 0x02, 0x03, 0x04, 0x05},
         {0xb2, 0x39, 0x63, 0x05, 0xf0, 0x3d, 0xc0, 0x27, 0xcc, 0xc3, 0x52, 0x4a, 0x0a, 0x11, 0x18, 0xa8,
          0x69, 0x82, 0x94, 0x4f, 0x18, 0xfc, 0x82, 0xd5, 0x89, 0xc4, 0x03, 0xa4, 0x7a, 0x0d, 0x09, 0x19}},
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10},
         {0x9a, 0xc7, 0xcc, 0x9a, 0x60, 0x9d, 0x1e, 0xf7, 0xb2, 0x93, 0x28, 0x99, 0xcd, 0xe4, 0x1b, 0x97}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.stream, keystream(c.key, c.stream.size())) << c.key.size() << "-byte key";
    }
}

// Pins the stored format: values written by one build must descramble in any other.
TEST(Scrambler, GivesKnownBytes) {
    const struct {
        std::string_view key;
        std::uint32_t passes;
        Bytes plain;
        Bytes scrambled;
    } cases[] = {
        {Scrambler::INI_KEY, 1, {0x02, 0x00, 0x00, 0x00}, {0xfa, 0x75, 0x50, 0x21}},
        {Scrambler::INI_KEY, 1, {'a', 'b', 'c'}, {0x57, 0x76, 0x32}},
        {Scrambler::INI_KEY, 3, {'a', 'b', 'c'}, {0x72, 0x98, 0x5e}},
        {Scrambler::REGISTRY_KEY, 1, {'H', 'X', 'R', 'G'}, {0x85, 0x23, 0xb2, 0xf1}},
        {"", 1, Bytes(8, 0x00), {0xbb, 0x49, 0x87, 0xbc, 0x33, 0x4d, 0x3c, 0xee}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.scrambled, scrambled(c.key, c.passes, c.plain)) << c.key << " passes " << c.passes;
        EXPECT_EQ(c.plain, descrambled(c.key, c.passes, c.scrambled)) << c.key << " passes " << c.passes;
    }
}

TEST(Scrambler, DescramblingUndoesScrambling) {
    const Bytes data = sampleData();
    for (std::string_view key : {Scrambler::REGISTRY_KEY, Scrambler::INI_KEY, std::string_view("k")}) {
        // More than five passes need allocated work arrays.
        for (std::uint32_t passes : {1u, 2u, 5u, 6u, 7u}) {
            const Bytes once = scrambled(key, passes, data);
            EXPECT_NE(data, once) << key << " passes " << passes;
            EXPECT_EQ(once, scrambled(key, passes, data)) << key << " passes " << passes;
            EXPECT_EQ(data, descrambled(key, passes, once)) << key << " passes " << passes;
        }
    }
}

TEST(Scrambler, KeyAndPassesChangeTheBytes) {
    const Bytes data = sampleData();
    const Bytes reference = scrambled(Scrambler::INI_KEY, 1, data);
    EXPECT_NE(reference, scrambled(Scrambler::REGISTRY_KEY, 1, data));
    EXPECT_NE(reference, scrambled(Scrambler::INI_KEY, 2, data));
    EXPECT_EQ(scrambled(Scrambler::EMPTY_KEY_SUBSTITUTE, 1, data), scrambled("", 1, data));
}

TEST(Scrambler, WorksInPlace) {
    const Bytes data = sampleData();
    Bytes buffer = data;
    ASSERT_EQ(0u, Scrambler::scramble(Scrambler::INI_KEY, 7, buffer.data(), buffer.size(), buffer.data()));
    EXPECT_EQ(scrambled(Scrambler::INI_KEY, 7, data), buffer);
    ASSERT_EQ(0u, Scrambler::descramble(Scrambler::INI_KEY, 7, buffer.data(), buffer.size(), buffer.data()));
    EXPECT_EQ(data, buffer);
}

TEST(Scrambler, RefusesBadArguments) {
    std::uint8_t byte = 1;
    const struct {
        const char* what;
        std::uint32_t passes;
        const std::uint8_t* input;
        std::size_t size;
        std::uint8_t* output;
        DWORD expectedScramble;
        DWORD expectedDescramble;
    } cases[] = {
        {"no passes", 0, &byte, 1, &byte, ERROR_ENCRYPTION_FAILED, ERROR_DECRYPTION_FAILED},
        {"no input", 1, nullptr, 1, &byte, ERROR_ENCRYPTION_FAILED, ERROR_DECRYPTION_FAILED},
        {"no output", 1, &byte, 1, nullptr, ERROR_ENCRYPTION_FAILED, ERROR_DECRYPTION_FAILED},
        {"nothing to do", 1, nullptr, 0, nullptr, ERROR_SUCCESS, ERROR_SUCCESS},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expectedScramble,
                  Scrambler::scramble(Scrambler::INI_KEY, c.passes, c.input, c.size, c.output))
            << c.what;
        EXPECT_EQ(c.expectedDescramble,
                  Scrambler::descramble(Scrambler::INI_KEY, c.passes, c.input, c.size, c.output))
            << c.what;
    }
    EXPECT_EQ(1, byte);
}

} // namespace
