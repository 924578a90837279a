#include "message/MessageHeader.h"

#include <array>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using namespace Corvane;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const MessageHeader& header) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&header);
    return Bytes(p, p + sizeof header);
}

MessageHeader headerFrom(const Bytes& bytes) {
    MessageHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    return header;
}

// Every byte distinct, so that a misplaced copy shows.
Bytes patterned(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0x40 + i);
    }
    return bytes;
}

void put16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = value & 0xFF;
    bytes[at + 1] = value >> 8;
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = (value >> (8 * i)) & 0xFF;
    }
}

// A block that ends where readable memory ends: reading past it faults.
class GuardedBlock {
public:
    explicit GuardedBlock(const Bytes& bytes) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        base_ = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
        data_ = base_ + page_ - bytes.size();
        std::memcpy(data_, bytes.data(), bytes.size());
    }
    ~GuardedBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
    const MessageHeader* header() const { return reinterpret_cast<const MessageHeader*>(data_); }

private:
    std::size_t page_ = 0;
    std::uint8_t* base_ = nullptr;
    std::uint8_t* data_ = nullptr;
};

TEST(MessageHeaderLayout, DefaultHeaderByteForByte) {
    Bytes expected(108, 0);
    expected[0] = 0x01;   // kind
    expected[10] = 0x02;  // version
    expected[100] = 0x0B; // extension type
    expected[102] = 0x08; // extension size
    EXPECT_EQ(expected, bytesOf(defaultMessageHeader));
}

TEST(MessageHeaderLayout, FieldsSitAtTheirLittleEndianOffsets) {
    MessageHeader header = defaultMessageHeader;
    header.kind = 0x0102;
    header.totalSize = 0x03040506;
    header.flags = 0x0708090A;
    header.version = 0x0B0C;
    header.busArea[0] = 0xA0;
    header.busArea[79] = 0xAF;
    header.replyData[0] = 0xB0;
    header.replyData[7] = 0xB7;
    header.extension.extensionType = 0x0D0E;
    header.extension.extensionSize = 0x0F10;
    header.extension.sessionId = 0x11121314;
    const Bytes bytes = bytesOf(header);
    const struct {
        std::size_t offset;
        std::uint8_t value;
    } expected[] = {{0, 0x02},  {1, 0x01},  {2, 0x06},   {5, 0x03},   {6, 0x0A},   {9, 0x07},
                    {10, 0x0C}, {11, 0x0B}, {12, 0xA0},  {91, 0xAF},  {92, 0xB0},  {99, 0xB7},
                    {100, 0x0E}, {101, 0x0D}, {102, 0x10}, {103, 0x0F}, {104, 0x14}, {107, 0x11}};
    for (const auto& e : expected) {
        EXPECT_EQ(e.value, bytes[e.offset]) << "byte " << e.offset;
    }
}

TEST(MessageHeaderFlags, ChangeOnlyTheirOwnBit) {
    MessageHeader header = defaultMessageHeader;
    header.flags = 0x80000101;
    header.setFlag(MESSAGE_FLAG_COPY_SENT);
    EXPECT_TRUE(header.testFlag(4));
    EXPECT_EQ(0x80000111u, header.flags);
    header.clearFlag(MESSAGE_FLAG_REPLY);
    EXPECT_FALSE(header.testFlag(MESSAGE_FLAG_REPLY));
    EXPECT_EQ(0x80000110u, header.flags);
    EXPECT_FALSE(header.testFlag(MESSAGE_FLAG_NO_COPY));
    header.clearFlag(MESSAGE_FLAG_NO_COPY);
    EXPECT_EQ(0x80000110u, header.flags);
}

TEST(MessageHeaderFlags, ClearReplyDataTouchesOnlyItsEightBytes) {
    Bytes before = patterned(108);
    MessageHeader header = headerFrom(before);
    header.clearReplyData();
    Bytes expected = before;
    std::fill(expected.begin() + 92, expected.begin() + 100, 0);
    EXPECT_EQ(expected, bytesOf(header));
}

TEST(MessageHeaderSession, ExtensionExistsOnlyInVersionTwo) {
    MessageHeader header = defaultMessageHeader;
    ASSERT_NE(nullptr, header.getSessionExtension());
    EXPECT_EQ(reinterpret_cast<std::uint8_t*>(&header) + 100,
              reinterpret_cast<std::uint8_t*>(header.getSessionExtension()));
    for (std::uint16_t version : {0, 1, 3}) {
        header.version = version;
        EXPECT_EQ(nullptr, header.getSessionExtension()) << version;
    }
}

TEST(MessageHeaderCopy, VersionTwoIsCopiedExactly) {
    Bytes source = patterned(108);
    put16(source, 10, 2);
    put32(source, 104, 7);
    GuardedBlock block(source);
    MessageHeader header = defaultMessageHeader;
    header.copyFrom(block.header());
    EXPECT_EQ(source, bytesOf(header));
    EXPECT_EQ(7u, header.getSessionExtension()->sessionId);
}

TEST(MessageHeaderCopy, VersionOneReadsOnlyItsHundredBytesAndBecomesVersionTwo) {
    Bytes source = patterned(100);
    put16(source, 10, 1);
    put32(source, 2, 500);
    GuardedBlock block(source); // reading byte 100 would fault
    MessageHeader header = headerFrom(patterned(108));
    header.copyFrom(block.header());

    Bytes expected = source;
    put32(expected, 2, 508);
    put16(expected, 10, 2);
    expected.insert(expected.end(), {0x0B, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(expected, bytesOf(header));
}

TEST(MessageHeaderCopy, NoSourceGivesTheDefaultHeader) {
    MessageHeader header = headerFrom(patterned(108));
    header.copyFrom(nullptr);
    EXPECT_EQ(bytesOf(defaultMessageHeader), bytesOf(header));
    EXPECT_EQ(0u, header.totalSize);
}

} // namespace
