#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "message/Message.h"
#include "message/Reply.h"
#include "messagebus/MessageBusTypes.h"
#include "status/ModuleStatus.h"

namespace Corvane {

// What users of the message bus see. The order of the operations is the order of the
// virtual table and must not change.
class MessageBus {
public:
    virtual ~MessageBus() = default;

    virtual MODULE_STATUS publish(const std::shared_ptr<Message>& message) = 0;

    // The time limit goes to the bus library unchanged.
    virtual MODULE_STATUS request(const std::shared_ptr<Message>& message, ReplyHandler handler,
                                  const std::uint64_t& timeLimit) = 0;
    // reply is assigned only on success.
    virtual MODULE_STATUS request(const std::shared_ptr<Message>& message, std::shared_ptr<Reply>& reply,
                                  const std::uint64_t& timeLimit) = 0;

    virtual MODULE_STATUS subscribe(const std::wstring& messageName, const std::wstring& alias,
                                    MessageHandler handler) = 0;
    virtual MODULE_STATUS subscribe(const std::wstring& messageName, MessageHandler handler) = 0;
    // Messages of other Windows sessions do not reach the handler.
    virtual MODULE_STATUS subscribeSession(const std::wstring& messageName, const std::wstring& alias,
                                           MessageHandler handler) = 0;
    virtual MODULE_STATUS subscribeSession(const std::wstring& messageName, MessageHandler handler) = 0;
    // The bus library matches message names against the pattern.
    virtual MODULE_STATUS subscribeFilter(const std::wstring& namePattern, const std::wstring& alias,
                                          MessageHandler handler) = 0;
    virtual MODULE_STATUS subscribeFilter(const std::wstring& namePattern, MessageHandler handler) = 0;
    virtual MODULE_STATUS subscribeFilterSession(const std::wstring& namePattern, const std::wstring& alias,
                                                 MessageHandler handler) = 0;
    virtual MODULE_STATUS subscribeFilterSession(const std::wstring& namePattern, MessageHandler handler) = 0;

    // Removes every subscription filed under the alias.
    virtual MODULE_STATUS unsubscribe(const std::wstring& alias) = 0;
};

} // namespace Corvane
