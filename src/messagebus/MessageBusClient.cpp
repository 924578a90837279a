#include "messagebus/MessageBusClient.h"

#include <future>
#include <new>
#include <optional>
#include <regex>
#include <system_error>
#include <utility>
#include <vector>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "message/MessageHeader.h"
#include "message/ReplyImpl.h"
#include "status/GuardedCall.h"
#include "status/ModuleException.h"

namespace Corvane {

using ETWLogging::LOG_LEVEL_ERROR;
using ETWLogging::LOG_LEVEL_NORMAL;
using ETWLogging::LOG_LEVEL_WARNING;

namespace {
constexpr const wchar_t* logSource = L"MessageBusClient";

std::shared_ptr<MessageBusShim> requireBinding(std::shared_ptr<MessageBusShim> busLib) {
    if (!busLib) {
        throw ModuleException("Invalid message bus binding");
    }
    return busLib;
}

std::shared_ptr<ProcessAPI> orDefault(std::shared_ptr<ProcessAPI> processApi) {
    return processApi ? std::move(processApi) : std::make_shared<ProcessAPI>();
}

// A reply that is its own first publish is also sent once as a plain message.
bool nonReplyCopyDue(const MessageHeader& header) {
    return header.testFlag(MESSAGE_FLAG_REPLY) && !header.testFlag(MESSAGE_FLAG_NO_COPY) &&
           !header.testFlag(MESSAGE_FLAG_COPY_SENT);
}

std::exception_ptr failureMark(std::errc condition) {
    return std::make_exception_ptr(std::system_error(std::make_error_code(condition)));
}

// ReplyImpl reads "operation canceled" as a timeout and every other mark as a failure.
void settle(std::promise<std::shared_ptr<Message>>& promise, const std::shared_ptr<Message>& message,
            MODULE_STATUS status) {
    if (status == MODULE_STATUS_SUCCESS) {
        promise.set_value(message);
    } else if (status == MODULE_STATUS_TIMEOUT) {
        promise.set_exception(failureMark(std::errc::operation_canceled));
    } else {
        promise.set_exception(failureMark(std::errc::no_message_available));
    }
}

// Files the entry and registers it with the bus; a refused one is taken out again.
template <typename Entry, typename Register>
bool appendRegistered(std::vector<Entry>& entries, Entry entry, Register registerWithBus) {
    entries.push_back(std::move(entry));
    Entry& added = entries.back();
    added.id = registerWithBus(added.handler.get());
    if (added.id != 0) {
        return true;
    }
    entries.pop_back();
    return false;
}
} // namespace

std::unique_ptr<MessageBus>
MessageBusClient::createInstance(const std::function<std::unique_ptr<MessageBus>()>& create) {
    constexpr const wchar_t* function = L"Corvane::MessageBusClient::getInstance";
    try {
        return create();
    } catch (const std::bad_alloc&) {
        HXLOG(LOG_LEVEL_ERROR, logSource, function,
              L"Failed to create message bus client. Caught bad_alloc - Failed to alllocate resources.");
    } catch (const ModuleException& exception) {
        HXLOG(LOG_LEVEL_ERROR, logSource, function,
              L"Failed to create message bus client. Caught ModuleException - what: %hs.", exception.what());
    } catch (...) {
        HXLOG(LOG_LEVEL_ERROR, logSource, function,
              L"Failed to create message bus client. Caught unexpected exception.");
    }
    return nullptr;
}

MessageBusClient::MessageBusClient(std::shared_ptr<MessageBusShim> busLib,
                                   std::shared_ptr<ProcessAPI> processApi)
    : busLib_(requireBinding(std::move(busLib))), processApi_(orDefault(std::move(processApi))),
      replyFunction_([this](std::uint64_t requestIndex, const std::shared_ptr<Message>& message,
                            MODULE_STATUS status) { return replyCallback(requestIndex, message, status); }),
      sessionId_(lookUpSessionId()) {}

MessageBusClient::~MessageBusClient() {
    // Separate steps: subscriptions must go even when withdrawing the reply callback fails,
    // since their handlers are released with this object.
    guardedCall([this] { return busLib_->cancelReplies(); });
    guardedCall([this] {
        unsubscribeAll();
        return MODULE_STATUS_SUCCESS;
    });
}

std::uint32_t MessageBusClient::lookUpSessionId() const {
    constexpr const wchar_t* function = L"Corvane::MessageBusClient::MessageBusClient";
    const DWORD processId = processApi_->getCurrentProcessId();
    DWORD session = 0;
    if (processApi_->processIdToSessionId(processId, &session)) {
        HXLOG(LOG_LEVEL_NORMAL, logSource, function, L"Found session id %ld for process %ld",
              static_cast<long>(session), static_cast<long>(processId));
        return session;
    }
    HXLOG(LOG_LEVEL_ERROR, logSource, function,
          L"Failed to get the session id for process %ld - defaulting to %ld", static_cast<long>(processId),
          0L);
    return 0;
}

MODULE_STATUS MessageBusClient::publish(const std::shared_ptr<Message>& message) {
    if (!message) {
        return MODULE_STATUS_INVALID_PARAMETER;
    }
    MessageHeader& header = message->getHeader();
    const bool copyDue = nonReplyCopyDue(header);
    if (copyDue) {
        // The reply itself already goes out marked.
        header.setFlag(MESSAGE_FLAG_COPY_SENT);
    }
    const MODULE_STATUS status = busLib_->publish(message);
    if (status != MODULE_STATUS_SUCCESS) {
        if (copyDue) {
            // Nothing went out: publishing the message again must still send the copy.
            header.clearFlag(MESSAGE_FLAG_COPY_SENT);
        }
        HXLOG(LOG_LEVEL_ERROR, logSource, L"Corvane::MessageBusClient::publish",
              L"Failed to publish message. Error code %lu.", static_cast<unsigned long>(status));
        return status;
    }
    if (copyDue) {
        publishNonReplyCopy(message);
    }
    return MODULE_STATUS_SUCCESS;
}

void MessageBusClient::publishNonReplyCopy(const std::shared_ptr<Message>& message) {
    MessageHeader& header = message->getHeader();
    header.clearFlag(MESSAGE_FLAG_REPLY);
    header.clearReplyData();
    const MODULE_STATUS status = busLib_->publish(message);
    if (status != MODULE_STATUS_SUCCESS) {
        HXLOG(LOG_LEVEL_WARNING, logSource, L"Corvane::MessageBusClient::publish",
              L"Failed to publish non-reply copy of the message. Error code %lu.",
              static_cast<unsigned long>(status));
    }
}

MODULE_STATUS MessageBusClient::request(const std::shared_ptr<Message>& message, ReplyHandler handler,
                                        const std::uint64_t& timeLimit) {
    PendingReply pending;
    std::shared_future<std::shared_ptr<Message>> future = pending.promise.get_future().share();
    pending.onComplete = [future, handler = std::move(handler)] {
        auto reply = std::make_shared<ReplyImpl>(future);
        reply->wait(); // the answer is there: this only settles the status
        handler(reply);
    };
    return sendRequest(message, std::move(pending), timeLimit);
}

MODULE_STATUS MessageBusClient::request(const std::shared_ptr<Message>& message,
                                        std::shared_ptr<Reply>& reply, const std::uint64_t& timeLimit) {
    PendingReply pending;
    std::shared_future<std::shared_ptr<Message>> future = pending.promise.get_future().share();
    const MODULE_STATUS status = sendRequest(message, std::move(pending), timeLimit);
    if (status == MODULE_STATUS_SUCCESS) {
        reply = std::make_shared<ReplyImpl>(std::move(future));
    }
    return status;
}

MODULE_STATUS MessageBusClient::sendRequest(const std::shared_ptr<Message>& message, PendingReply pending,
                                            const std::uint64_t& timeLimit) {
    std::uint64_t requestIndex = 0;
    if (!addPendingReply(std::move(pending), requestIndex)) {
        return MODULE_STATUS_UNSUCCESSFUL;
    }
    // Without the lock: the answer may come on another thread before this call returns.
    const MODULE_STATUS status = busLib_->request(message, requestIndex, &replyFunction_, timeLimit);
    if (status != MODULE_STATUS_SUCCESS) {
        std::lock_guard<std::mutex> lock(replyMutex_);
        pendingReplies_.erase(requestIndex);
        HXLOG(LOG_LEVEL_ERROR, logSource, L"Corvane::MessageBusClient::request",
              L"Failed to make request. Error code %lu.", static_cast<unsigned long>(status));
    }
    return status;
}

bool MessageBusClient::addPendingReply(PendingReply pending, std::uint64_t& requestIndex) {
    std::lock_guard<std::mutex> lock(replyMutex_);
    requestIndex = nextRequestIndex_++;
    if (!pendingReplies_.emplace(requestIndex, std::move(pending)).second) {
        HXLOG(LOG_LEVEL_ERROR, logSource, L"Corvane::MessageBusClient::request",
              L"Unable to create reply promise. Returning.");
        return false;
    }
    return true;
}

MODULE_STATUS MessageBusClient::replyCallback(std::uint64_t requestIndex,
                                              const std::shared_ptr<Message>& message, MODULE_STATUS status) {
    std::optional<PendingReply> pending = takePendingReply(requestIndex);
    if (!pending) {
        HXLOG(LOG_LEVEL_WARNING, logSource, L"Corvane::MessageBusClient::replyCallback",
              L"Reply index not found. Returning");
        return MODULE_STATUS_NOT_FOUND;
    }
    // Out of the lock, so that a ReplyHandler may make requests of its own.
    settle(pending->promise, message, status);
    if (pending->onComplete) {
        guardedCall([&pending] {
            pending->onComplete();
            return MODULE_STATUS_SUCCESS;
        });
    }
    return MODULE_STATUS_SUCCESS;
}

std::optional<PendingReply> MessageBusClient::takePendingReply(std::uint64_t requestIndex) {
    std::lock_guard<std::mutex> lock(replyMutex_);
    const auto found = pendingReplies_.find(requestIndex);
    if (found == pendingReplies_.end()) {
        return std::nullopt;
    }
    PendingReply pending = std::move(found->second);
    pendingReplies_.erase(found);
    return pending;
}

MODULE_STATUS MessageBusClient::subscribe(const std::wstring& messageName, const std::wstring& alias,
                                          MessageHandler handler) {
    std::lock_guard<std::mutex> lock(subscriptionMutex_);
    Subscription entry{0, messageName, std::make_shared<MessageHandler>(std::move(handler))};
    if (appendRegistered(subscriptions_[alias].subscriptions, std::move(entry),
                         [&](MessageHandler* context) { return busLib_->subscribe(messageName, context); })) {
        return MODULE_STATUS_SUCCESS;
    }
    HXLOG(LOG_LEVEL_ERROR, logSource, L"Corvane::MessageBusClient::subscribe",
          L"Failed to subscribe. Alias: %ls Message name: %ls", alias.c_str(), messageName.c_str());
    return MODULE_STATUS_UNSUCCESSFUL;
}

MODULE_STATUS MessageBusClient::subscribe(const std::wstring& messageName, MessageHandler handler) {
    return subscribe(messageName, messageName, std::move(handler));
}

MODULE_STATUS MessageBusClient::subscribeSession(const std::wstring& messageName, const std::wstring& alias,
                                                 MessageHandler handler) {
    return subscribe(messageName, alias, inSession(std::move(handler)));
}

MODULE_STATUS MessageBusClient::subscribeSession(const std::wstring& messageName, MessageHandler handler) {
    return subscribeSession(messageName, messageName, std::move(handler));
}

MODULE_STATUS MessageBusClient::subscribeFilter(const std::wstring& namePattern, const std::wstring& alias,
                                                MessageHandler handler) {
    // Compiled before anything is filed: a malformed pattern leaves no trace.
    std::wregex pattern(namePattern, std::regex::ECMAScript | std::regex::nosubs | std::regex::optimize);
    std::lock_guard<std::mutex> lock(subscriptionMutex_);
    FilterSubscription entry{0, namePattern, std::move(pattern),
                             std::make_shared<MessageHandler>(std::move(handler))};
    if (appendRegistered(subscriptions_[alias].filters, std::move(entry), [&](MessageHandler* context) {
            return busLib_->subscribeFilter(namePattern, context);
        })) {
        return MODULE_STATUS_SUCCESS;
    }
    HXLOG(LOG_LEVEL_ERROR, logSource, L"Corvane::MessageBusClient::subscribeFilter",
          L"Failed to subscribeFilter. Alias: %ls Message nameRegex: %ls", alias.c_str(),
          namePattern.c_str());
    return MODULE_STATUS_UNSUCCESSFUL;
}

MODULE_STATUS MessageBusClient::subscribeFilter(const std::wstring& namePattern, MessageHandler handler) {
    return subscribeFilter(namePattern, namePattern, std::move(handler));
}

MODULE_STATUS MessageBusClient::subscribeFilterSession(const std::wstring& namePattern,
                                                       const std::wstring& alias, MessageHandler handler) {
    return subscribeFilter(namePattern, alias, inSession(std::move(handler)));
}

MODULE_STATUS MessageBusClient::subscribeFilterSession(const std::wstring& namePattern,
                                                       MessageHandler handler) {
    return subscribeFilterSession(namePattern, namePattern, std::move(handler));
}

MessageHandler MessageBusClient::inSession(MessageHandler handler) const {
    if (sessionId_ == 0) {
        return handler;
    }
    // The session id never changes, so the wrapper keeps its own copy rather than the client.
    return [session = sessionId_, handler = std::move(handler)](std::shared_ptr<Message> message) {
        const MessageSessionExtension* extension =
            message ? message->getHeader().getSessionExtension() : nullptr;
        if (extension != nullptr && extension->sessionId != 0 && extension->sessionId != session) {
            return MODULE_STATUS_SUCCESS;
        }
        return handler(std::move(message));
    };
}

MODULE_STATUS MessageBusClient::unsubscribe(const std::wstring& alias) {
    std::lock_guard<std::mutex> lock(subscriptionMutex_);
    const auto found = subscriptions_.find(alias);
    if (found == subscriptions_.end()) {
        HXLOG(LOG_LEVEL_WARNING, logSource, L"Corvane::MessageBusClient::unsubscribe",
              L"Subscription not found. Alias: %ls.", alias.c_str());
        return MODULE_STATUS_SUCCESS;
    }
    unsubscribeIds(found->second);
    subscriptions_.erase(found);
    return MODULE_STATUS_SUCCESS;
}

void MessageBusClient::unsubscribeAll() {
    std::lock_guard<std::mutex> lock(subscriptionMutex_);
    for (const auto& entry : subscriptions_) {
        unsubscribeIds(entry.second);
    }
    subscriptions_.clear();
}

void MessageBusClient::unsubscribeIds(const AliasSubscriptions& entries) {
    for (const std::uint32_t id : entries.ids()) {
        busLib_->unsubscribe(id); // a failure changes nothing: the entry goes anyway
    }
}

} // namespace Corvane
