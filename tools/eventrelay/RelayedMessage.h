#pragma once

#include <cstdint>
#include <string>

#include "message/MessageHeader.h"

namespace EventRelay {

// The relay's own copy of a published message, since the publisher's buffers are only
// valid during its call. The header is always held as 108 bytes; a version-1 publisher's
// block is read for its 100 bytes only and the rest stays zero.
class RelayedMessage {
public:
    RelayedMessage(const Corvane::MessageHeader& header, const wchar_t* name, const wchar_t* alias,
                   const wchar_t* payload);

    const Corvane::MessageHeader& header() const { return header_; }
    const std::wstring& name() const { return name_; }
    const std::wstring& alias() const { return alias_; }
    const std::wstring& payload() const { return payload_; }

    bool isReply() const;
    std::uint32_t sessionId() const;
    std::uint64_t replyData() const;
    void setReplyData(std::uint64_t value);

private:
    static std::size_t bytesToRead(const Corvane::MessageHeader& header);

    Corvane::MessageHeader header_;
    std::wstring name_;
    std::wstring alias_;
    std::wstring payload_;
};

} // namespace EventRelay
