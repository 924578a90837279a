#pragma once

#include <cstdint>
#include <cstring>

#include "message/MessageHeader.h"

namespace EventRelayTests {

// A version-2 header unless said otherwise; the session goes into a version-2 header only.
inline Corvane::MessageHeader makeHeader(std::uint32_t flags = 0, std::uint32_t totalSize = 120,
                                         std::uint32_t sessionId = 1,
                                         std::uint16_t version = Corvane::MESSAGE_HEADER_VERSION_2) {
    Corvane::MessageHeader header{};
    header.kind = 3;
    header.totalSize = totalSize;
    header.flags = flags;
    header.version = version;
    for (std::size_t i = 0; i < sizeof(header.busArea); ++i) {
        header.busArea[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    if (version == Corvane::MESSAGE_HEADER_VERSION_2) {
        header.extension = {1, 4, sessionId};
    }
    return header;
}

inline std::uint64_t replyDataOf(const Corvane::MessageHeader& header) {
    std::uint64_t value = 0;
    std::memcpy(&value, header.replyData, sizeof(value));
    return value;
}

// The answer to a request whose delivered header was `request`.
inline Corvane::MessageHeader answerHeader(const Corvane::MessageHeader& request,
                                           std::uint32_t sessionId = 9) {
    Corvane::MessageHeader header = makeHeader(1u << Corvane::MESSAGE_FLAG_REPLY, 64, sessionId);
    std::memcpy(header.replyData, request.replyData, sizeof(header.replyData));
    return header;
}

} // namespace EventRelayTests
