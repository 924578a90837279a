#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "message/Message.h"
#include "message/Reply.h"
#include "messagebus/AliasSubscriptions.h"
#include "messagebus/MessageBus.h"
#include "messagebus/MessageBusShim.h"
#include "messagebus/MessageBusTypes.h"
#include "status/ModuleStatus.h"
#include "messagebus/PendingReply.h"
#include "wrappers/ProcessAPI.h"

namespace Corvane {

// The system's client of the message bus, with a binding of its own. Its operations may be
// called from several threads; the bus library calls back on its own threads.
class MessageBusClient : public MessageBus {
public:
    // A new client with a new binding on every call; empty (and logged) when none can be built.
    static std::unique_ptr<MessageBus> getInstance();

    // Loads and binds the bus library; throws ModuleException when that fails.
    MessageBusClient();
    // An empty processApi means the operating system's; an empty busLib throws ModuleException.
    MessageBusClient(std::shared_ptr<MessageBusShim> busLib, std::shared_ptr<ProcessAPI> processApi);
    // Stops answers and deliveries first, then abandons pending requests; the binding goes last.
    ~MessageBusClient() override;

    // The bus library keeps the address of replyFunction: a client never moves.
    MessageBusClient(const MessageBusClient&) = delete;
    MessageBusClient& operator=(const MessageBusClient&) = delete;

    MODULE_STATUS publish(const std::shared_ptr<Message>& message) override;
    MODULE_STATUS request(const std::shared_ptr<Message>& message, ReplyHandler handler,
                          const std::uint64_t& timeLimit) override;
    MODULE_STATUS request(const std::shared_ptr<Message>& message, std::shared_ptr<Reply>& reply,
                          const std::uint64_t& timeLimit) override;

    MODULE_STATUS subscribe(const std::wstring& messageName, const std::wstring& alias,
                            MessageHandler handler) override;
    MODULE_STATUS subscribe(const std::wstring& messageName, MessageHandler handler) override;
    MODULE_STATUS subscribeSession(const std::wstring& messageName, const std::wstring& alias,
                                   MessageHandler handler) override;
    MODULE_STATUS subscribeSession(const std::wstring& messageName, MessageHandler handler) override;
    // A malformed pattern throws std::regex_error before anything is registered.
    MODULE_STATUS subscribeFilter(const std::wstring& namePattern, const std::wstring& alias,
                                  MessageHandler handler) override;
    MODULE_STATUS subscribeFilter(const std::wstring& namePattern, MessageHandler handler) override;
    MODULE_STATUS subscribeFilterSession(const std::wstring& namePattern, const std::wstring& alias,
                                         MessageHandler handler) override;
    MODULE_STATUS subscribeFilterSession(const std::wstring& namePattern, MessageHandler handler) override;
    MODULE_STATUS unsubscribe(const std::wstring& alias) override;

    // Every subscription of every alias.
    void unsubscribeAll();

    // The answer to request number requestIndex; each request accepts one answer.
    MODULE_STATUS replyCallback(std::uint64_t requestIndex, const std::shared_ptr<Message>& message,
                                MODULE_STATUS status);

protected:
    // getInstance's boundary: whatever building the client throws is logged, never passed on.
    static std::unique_ptr<MessageBus>
    createInstance(const std::function<std::unique_ptr<MessageBus>()>& create);

private:
    std::uint32_t lookUpSessionId() const;
    MessageHandler inSession(MessageHandler handler) const;
    void publishNonReplyCopy(const std::shared_ptr<Message>& message);
    MODULE_STATUS sendRequest(const std::shared_ptr<Message>& message, PendingReply pending,
                              const std::uint64_t& timeLimit);
    bool addPendingReply(PendingReply pending, std::uint64_t& requestIndex);
    std::optional<PendingReply> takePendingReply(std::uint64_t requestIndex);
    void unsubscribeIds(const AliasSubscriptions& entries);

    std::shared_ptr<MessageBusShim> busLib_;
    std::shared_ptr<ProcessAPI> processApi_;
    std::mutex subscriptionMutex_;
    std::unordered_map<std::wstring, AliasSubscriptions> subscriptions_;
    std::uint64_t nextRequestIndex_ = 0;
    ReplyFunction replyFunction_;
    std::mutex replyMutex_;
    std::unordered_map<std::uint64_t, PendingReply> pendingReplies_;
    std::uint32_t sessionId_;
};

} // namespace Corvane
