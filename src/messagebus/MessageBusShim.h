#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "message/Message.h"
#include "messagebus/MessageBusTypes.h"
#include "status/ModuleStatus.h"

namespace Corvane {

// One operation per call into the bus library. The client talks only to this interface, so
// a binding can be replaced (tests inject their own).
class MessageBusShim {
public:
    virtual MODULE_STATUS publish(const std::shared_ptr<Message>& message) = 0;
    // context: the address of the client's ReplyFunction, handed back with every answer.
    virtual MODULE_STATUS request(const std::shared_ptr<Message>& message, std::uint64_t requestIndex,
                                  ReplyFunction* context, std::uint64_t timeLimit) = 0;
    virtual MODULE_STATUS cancelReplies() = 0;
    // context: the address of a MessageHandler, handed back with every delivery. 0 = refused.
    virtual std::uint32_t subscribe(const std::wstring& messageName, MessageHandler* context) = 0;
    virtual std::uint32_t subscribeFilter(const std::wstring& pattern, MessageHandler* context) = 0;
    virtual MODULE_STATUS unsubscribe(std::uint32_t subscriptionId) = 0;
    virtual ~MessageBusShim() = default;
};

} // namespace Corvane
