#include "utils/Md5.h"

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string hex(const Vornix::Md5Digest& digest) {
    std::string text;
    char pair[3];
    for (auto byte : digest) {
        std::snprintf(pair, sizeof(pair), "%02x", byte);
        text += pair;
    }
    return text;
}

// RFC 1321 test suite.
TEST(Md5, GivesThePublishedDigests) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        Vornix::Md5Digest digest{};
        ASSERT_EQ(0u, Vornix::md5(c.message.data(), c.message.size(), digest)) << c.message;
        EXPECT_EQ(c.digest, hex(digest)) << c.message;
    }
}

TEST(Md5, AcceptsNoDataOnlyForNoBytes) {
    Vornix::Md5Digest digest{};
    ASSERT_EQ(0u, Vornix::md5(nullptr, 0, digest));
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", hex(digest));

    Vornix::Md5Digest untouched{};
    untouched.fill(0xAB);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), Vornix::md5(nullptr, 1, untouched));
    EXPECT_EQ(0xAB, untouched[0]);
    EXPECT_EQ(0xAB, untouched[15]);
}

} // namespace
