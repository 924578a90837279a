#include "utils/CObfuscatedRegKey.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TestRegistryKey.h"

namespace {

using Vornix::CObfuscatedRegKey;
using Bytes = std::vector<std::uint8_t>;

class ScrambledKey : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, key.Open(test.root(), test.path().c_str())); }

    Bytes raw(const char* name, DWORD* type = nullptr) {
        DWORD size = 0;
        DWORD rawType = 0;
        EXPECT_EQ(0, RegQueryValueExA(test.handle(), name, nullptr, &rawType, nullptr, &size));
        Bytes bytes(size);
        EXPECT_EQ(0, RegQueryValueExA(test.handle(), name, nullptr, &rawType, bytes.data(), &size));
        if (type) {
            *type = rawType;
        }
        return bytes;
    }

    void putRaw(const char* name, const Bytes& bytes) {
        ASSERT_EQ(0, RegSetValueExA(test.handle(), name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())));
    }

    PelmoraTests::TestRegistryKey test;
    CObfuscatedRegKey key;
};

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST_F(ScrambledKey, EveryTypeRoundTrips) {
    ASSERT_EQ(0u, key.WriteDword(L"dword", 0xDEADBEEF));
    ASSERT_EQ(0u, key.WriteQword(L"qword", 0x0123456789ABCDEFULL));
    ASSERT_EQ(0u, key.WriteString(L"text", L"C:\\Program Files\\\u00e9\u20ac"));
    ASSERT_EQ(0u, key.WriteMultiString(L"list", L"first\0s\u00e9cond\0\0"));
    const std::uint8_t binary[] = {0, 1, 2, 0xFE, 0xFF};
    ASSERT_EQ(0u, key.WriteBinary(L"binary", binary, sizeof binary));
    const GUID id = {0x491FB070, 0x54CC, 0x11E0, {0xB8, 0xAF, 0x08, 0x00, 0x20, 0x0C, 0x9A, 0x66}};
    ASSERT_EQ(0u, key.WriteGuid(L"guid", id));

    DWORD dword = 0;
    EXPECT_EQ(0u, key.ReadDword(L"dword", dword));
    EXPECT_EQ(0xDEADBEEFu, dword);
    ULONGLONG qword = 0;
    EXPECT_EQ(0u, key.ReadQword(L"qword", qword));
    EXPECT_EQ(0x0123456789ABCDEFULL, qword);
    std::wstring text;
    EXPECT_EQ(0u, key.ReadString(L"text", text));
    EXPECT_EQ(L"C:\\Program Files\\\u00e9\u20ac", text);
    wchar_t list[32];
    DWORD count = 32;
    EXPECT_EQ(0u, key.ReadMultiString(L"list", list, &count));
    EXPECT_EQ(std::wstring(L"first\0s\u00e9cond\0\0", 14), std::wstring(list, count));
    std::uint8_t readBinary[8] = {};
    DWORD size = sizeof readBinary;
    EXPECT_EQ(0u, key.ReadBinary(L"binary", readBinary, &size));
    EXPECT_EQ(Bytes(binary, binary + 5), Bytes(readBinary, readBinary + size));
    GUID readId = {};
    EXPECT_EQ(0u, key.ReadGuid(L"guid", readId));
    EXPECT_TRUE(IsEqualGUID(id, readId));
}

TEST_F(ScrambledKey, StoresOneBinaryBlobWithTheHeader) {
    ASSERT_EQ(0u, key.WriteDword(L"Logging Mechanism", 1));
    DWORD rawType = 0;
    const Bytes blob = raw("Logging Mechanism", &rawType);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), rawType);
    ASSERT_EQ(36u, blob.size());
    EXPECT_EQ(0, std::memcmp(blob.data(), "HXRG", 4));
    EXPECT_EQ(1u, le32(blob, 4));
    EXPECT_EQ(4u, le32(blob, 8));
    EXPECT_EQ(static_cast<std::uint32_t>(REG_DWORD), le32(blob, 12));
    EXPECT_NE(Bytes({1, 0, 0, 0}), Bytes(blob.begin() + 32, blob.end())); // not plain

    // The keying is fixed: the same value gives the same bytes.
    ASSERT_EQ(0u, key.WriteDword(L"again", 1));
    EXPECT_EQ(blob, raw("again"));

    // A UTF-8 text payload counts its terminating zero.
    ASSERT_EQ(0u, key.WriteString(L"text", L"\u00e9"));
    const Bytes text = raw("text");
    EXPECT_EQ(3u, le32(text, 8));
    EXPECT_EQ(static_cast<std::uint32_t>(REG_SZ), le32(text, 12));
}

TEST_F(ScrambledKey, PlainValuesReadAsInvalidData) {
    const DWORD one = 1;
    ASSERT_EQ(0, RegSetValueExW(test.handle(), L"plain dword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4));
    ASSERT_EQ(0, RegSetValueExW(test.handle(), L"plain text", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 4));
    putRaw("short blob", Bytes(31, 0));
    DWORD value = 0;
    EXPECT_EQ(13u, key.ReadDword(L"plain dword", value));
    std::wstring text;
    EXPECT_EQ(13u, key.ReadString(L"plain text", text));
    EXPECT_EQ(13u, key.ReadDword(L"short blob", value));
    EXPECT_EQ(2u, key.ReadDword(L"missing", value));
}

TEST_F(ScrambledKey, AnyChangedOrAppendedByteMakesTheValueUnreadable) {
    ASSERT_EQ(0u, key.WriteString(L"v", L"2.1.0.7"));
    const Bytes blob = raw("v");
    for (std::size_t i = 0; i < blob.size(); ++i) {
        Bytes tampered = blob;
        tampered[i] ^= 0x01;
        putRaw("v", tampered);
        std::wstring text;
        EXPECT_EQ(13u, key.ReadString(L"v", text)) << "byte " << i;
    }
    Bytes longer = blob;
    longer.push_back(0);
    putRaw("v", longer);
    std::wstring text;
    EXPECT_EQ(13u, key.ReadString(L"v", text));
    putRaw("v", blob);
    EXPECT_EQ(0u, key.ReadString(L"v", text));
    EXPECT_EQ(L"2.1.0.7", text);
}

TEST_F(ScrambledKey, ReadsReportSizesAndShortBuffers) {
    ASSERT_EQ(0u, key.WriteString(L"text", L"abcdef"));
    DWORD count = 0;
    EXPECT_EQ(0u, key.ReadStringBuffer(L"text", nullptr, &count));
    EXPECT_EQ(7u, count);
    wchar_t small[3];
    count = 3;
    EXPECT_EQ(234u, key.ReadStringBuffer(L"text", small, &count));

    const std::uint8_t binary[] = {1, 2, 3, 4, 5};
    ASSERT_EQ(0u, key.WriteBinary(L"binary", binary, sizeof binary));
    std::uint8_t tiny[2];
    DWORD size = sizeof tiny;
    EXPECT_EQ(234u, key.ReadBinary(L"binary", tiny, &size));
    EXPECT_EQ(5u, size);

    EXPECT_EQ(87u, key.WriteBinary(L"empty", binary, 0));
    EXPECT_EQ(87u, key.ReadValue(L"text", nullptr, nullptr, nullptr));
    DWORD type = 0;
    EXPECT_EQ(0u, key.ReadValue(L"binary", &type, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
}

} // namespace
