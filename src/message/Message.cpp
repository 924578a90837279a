#include "message/Message.h"

#include <cstdint>
#include <stdexcept>
#include <utility>

#include "status/GuardedCall.h"

namespace Corvane {

namespace {
// Header plus the three strings, each with its terminating NUL, in bytes.
std::uint32_t totalSizeOf(const std::wstring& name, const std::wstring& alias, const std::wstring& payload) {
    const std::uint64_t units = std::uint64_t{name.size()} + alias.size() + payload.size() + 3;
    const std::uint64_t bytes = MESSAGE_HEADER_V2_SIZE + 2 * units;
    if (bytes > UINT32_MAX) {
        throw std::length_error("message too large for its header");
    }
    return static_cast<std::uint32_t>(bytes);
}
} // namespace

Message::Message(std::wstring name, std::wstring alias, std::wstring payload)
    : name_(std::move(name)), alias_(std::move(alias)), payload_(std::move(payload)),
      header_(std::make_unique<MessageHeader>(defaultMessageHeader)) {
    header_->totalSize = totalSizeOf(name_, alias_, payload_);
}

Message::~Message() = default;

std::shared_ptr<Message> Message::create(const std::wstring& name, const std::wstring& alias,
                                         const std::wstring& payload) {
    std::shared_ptr<Message> message;
    guardedCall([&] {
        message = std::make_shared<Message>(name, alias, payload);
        return MODULE_STATUS_SUCCESS;
    });
    return message;
}

} // namespace Corvane
