#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "message/Message.h"

namespace Corvane {

// Outcome of a request as its caller sees it.
using REPLY_STATUS = std::uint32_t;

constexpr REPLY_STATUS REPLY_STATUS_RECEIVED = 0;  // the answer arrived and carries a message
constexpr REPLY_STATUS REPLY_STATUS_PENDING = 1;   // nothing read yet
constexpr REPLY_STATUS REPLY_STATUS_TIMED_OUT = 2; // the bus library gave up waiting for an answer
constexpr REPLY_STATUS REPLY_STATUS_FAILED = 3;    // anything else, the client's destruction included

// The answer to a request, which arrives later on a thread of the bus library. One reply
// object is meant for one thread at a time.
class Reply {
public:
    virtual ~Reply() = default;

    // Neither of these two waits.
    virtual REPLY_STATUS getStatus() const = 0;
    // Empty unless the status is REPLY_STATUS_RECEIVED.
    virtual std::shared_ptr<Message> getMessage() const = 0;

    virtual REPLY_STATUS wait() = 0;
    // A limit of zero or less only looks whether the answer is there; running out of time
    // leaves the status as it was.
    virtual REPLY_STATUS waitFor(const std::chrono::milliseconds& limit) = 0;
};

} // namespace Corvane
