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

    const std::wstring& getName() const { return name; }
    const std::wstring& getAlias() const { return alias; }
    const std::wstring& getPayload() const { return payload; }
    MessageHeader& getHeader() { return *header; }
    const MessageHeader& getHeader() const { return *header; }

private:
    std::wstring name;
    std::wstring alias;
    std::wstring payload;
    std::unique_ptr<MessageHeader> header;
};

} // namespace Corvane
