#pragma once

#include <cstddef>
#include <cstdint>

namespace Corvane {

// Bit numbers in MessageHeader::flags.
constexpr unsigned MESSAGE_FLAG_REPLY = 0;
constexpr unsigned MESSAGE_FLAG_NO_COPY = 3;
constexpr unsigned MESSAGE_FLAG_COPY_SENT = 4;

constexpr std::uint16_t MESSAGE_HEADER_VERSION_1 = 1;
constexpr std::uint16_t MESSAGE_HEADER_VERSION_2 = 2;
constexpr std::size_t MESSAGE_HEADER_V1_SIZE = 100;
constexpr std::size_t MESSAGE_HEADER_V2_SIZE = 108;

#pragma pack(push, 1)

// Bytes 100-107 of a version-2 header.
struct MessageSessionExtension {
    std::uint16_t extensionType;
    std::uint16_t extensionSize;
    std::uint32_t sessionId;
};

// The binary header exchanged with the bus library as a raw block of bytes (little-endian,
// no padding). Version 1 headers end after byte 99.
struct MessageHeader {
    std::uint16_t kind;
    std::uint32_t totalSize;
    std::uint32_t flags;
    std::uint16_t version;
    std::uint8_t busArea[80];
    std::uint8_t replyData[8];
    MessageSessionExtension extension;

    bool testFlag(unsigned bit) const { return (flags & (1u << bit)) != 0; }
    void setFlag(unsigned bit) { flags |= 1u << bit; }
    void clearFlag(unsigned bit) { flags &= ~(1u << bit); }
    void clearReplyData();

    // Null unless this is a version-2 header.
    MessageSessionExtension* getSessionExtension();
    const MessageSessionExtension* getSessionExtension() const;

    // Becomes the version-2 copy of a header received from the bus library; a version-1
    // source is read for its 100 bytes only. A null source leaves the default header.
    void copyFrom(const MessageHeader* source);
};

#pragma pack(pop)

static_assert(sizeof(MessageSessionExtension) == 8, "session extension is 8 bytes");
static_assert(sizeof(MessageHeader) == MESSAGE_HEADER_V2_SIZE, "header is 108 bytes");
static_assert(offsetof(MessageHeader, kind) == 0, "kind at byte 0");
static_assert(offsetof(MessageHeader, totalSize) == 2, "totalSize at byte 2");
static_assert(offsetof(MessageHeader, flags) == 6, "flags at byte 6");
static_assert(offsetof(MessageHeader, version) == 10, "version at byte 10");
static_assert(offsetof(MessageHeader, busArea) == 12, "busArea at byte 12");
static_assert(offsetof(MessageHeader, replyData) == 92, "replyData at byte 92");
static_assert(offsetof(MessageHeader, extension) == MESSAGE_HEADER_V1_SIZE, "extension at byte 100");
static_assert(offsetof(MessageHeader, extension) + offsetof(MessageSessionExtension, sessionId) == 104,
              "sessionId at byte 104");

// What a new message starts from; its totalSize is 0.
extern const MessageHeader defaultMessageHeader;

} // namespace Corvane
