#include "RelayedMessage.h"

#include <cstring>

namespace EventRelay {

namespace {
std::wstring textOrEmpty(const wchar_t* text) {
    return text != nullptr ? std::wstring(text) : std::wstring();
}
} // namespace

RelayedMessage::RelayedMessage(const Corvane::MessageHeader& header, const wchar_t* name,
                               const wchar_t* alias, const wchar_t* payload)
    : header_(), name_(textOrEmpty(name)), alias_(textOrEmpty(alias)), payload_(textOrEmpty(payload)) {
    std::memcpy(&header_, &header, bytesToRead(header));
}

std::size_t RelayedMessage::bytesToRead(const Corvane::MessageHeader& header) {
    // Only a version-2 block is known to extend past byte 99.
    return header.version == Corvane::MESSAGE_HEADER_VERSION_2 ? Corvane::MESSAGE_HEADER_V2_SIZE
                                                               : Corvane::MESSAGE_HEADER_V1_SIZE;
}

bool RelayedMessage::isReply() const {
    return header_.testFlag(Corvane::MESSAGE_FLAG_REPLY);
}

std::uint32_t RelayedMessage::sessionId() const {
    return header_.version == Corvane::MESSAGE_HEADER_VERSION_2 ? header_.extension.sessionId : 0;
}

std::uint64_t RelayedMessage::replyData() const {
    std::uint64_t value = 0;
    std::memcpy(&value, header_.replyData, sizeof(value));
    return value;
}

void RelayedMessage::setReplyData(std::uint64_t value) {
    std::memcpy(header_.replyData, &value, sizeof(value));
}

} // namespace EventRelay
