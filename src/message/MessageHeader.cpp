#include "message/MessageHeader.h"

#include <cstring>

namespace Corvane {

const MessageHeader defaultMessageHeader = {
    1,                        // kind
    0,                        // totalSize
    0,                        // flags
    MESSAGE_HEADER_VERSION_2, // version
    {},                       // busArea
    {},                       // replyData
    {11, 8, 0},               // extension: type, size, session
};

void MessageHeader::clearReplyData() { std::memset(replyData, 0, sizeof replyData); }

MessageSessionExtension* MessageHeader::getSessionExtension() {
    return version == MESSAGE_HEADER_VERSION_2 ? &extension : nullptr;
}

const MessageSessionExtension* MessageHeader::getSessionExtension() const {
    return version == MESSAGE_HEADER_VERSION_2 ? &extension : nullptr;
}

void MessageHeader::copyFrom(const MessageHeader* source) {
    *this = defaultMessageHeader;
    if (source == nullptr) {
        return;
    }
    // Read the version through bytes: a version-1 block is only 100 bytes long.
    std::uint16_t sourceVersion = 0;
    std::memcpy(&sourceVersion, reinterpret_cast<const std::uint8_t*>(source) + offsetof(MessageHeader, version),
                sizeof sourceVersion);
    if (sourceVersion == MESSAGE_HEADER_VERSION_2) {
        std::memcpy(this, source, MESSAGE_HEADER_V2_SIZE);
        return;
    }
    std::memcpy(this, source, MESSAGE_HEADER_V1_SIZE);
    totalSize += MESSAGE_HEADER_V2_SIZE - MESSAGE_HEADER_V1_SIZE;
    version = MESSAGE_HEADER_VERSION_2;
}

} // namespace Corvane
