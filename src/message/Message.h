#pragma once

#include <memory>
#include <string>

#include "message/MessageHeader.h"

namespace Corvane {

// One bus message. Never copied: holders share it, so all of them see one header.
class Message {
public:
    Message(std::wstring name, std::wstring alias, std::wstring payload);
    virtual ~Message();

    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;

    // Empty pointer when construction throws (in practice, when memory runs out).
    static std::shared_ptr<Message> create(const std::wstring& name, const std::wstring& alias,
                                           const std::wstring& payload);

    const std::wstring& getName() const { return name_; }
    const std::wstring& getAlias() const { return alias_; }
    const std::wstring& getPayload() const { return payload_; }
    MessageHeader& getHeader() { return *header_; }
    const MessageHeader& getHeader() const { return *header_; }

private:
    std::wstring name_;
    std::wstring alias_;
    std::wstring payload_;
    std::unique_ptr<MessageHeader> header_;
};

} // namespace Corvane
