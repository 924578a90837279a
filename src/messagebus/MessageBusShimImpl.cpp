#include "messagebus/MessageBusShimImpl.h"

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "status/GuardedCall.h"
#include "status/ModuleException.h"

namespace Corvane {

namespace {

constexpr const wchar_t* logSource = L"MessageBusShimImpl";
constexpr const wchar_t* constructorName = L"Corvane::MessageBusShimImpl::MessageBusShimImpl";

// The library owns the strings only for the length of the callback; a null one counts as empty.
std::wstring copyOf(const wchar_t* text) {
    return text != nullptr ? std::wstring(text) : std::wstring();
}

std::shared_ptr<Message> rebuildMessage(const MessageHeader* header, const wchar_t* name,
                                        const wchar_t* alias, const wchar_t* payload) {
    std::shared_ptr<Message> message = Message::create(copyOf(name), copyOf(alias), copyOf(payload));
    if (message) {
        message->getHeader().copyFrom(header);
    }
    return message;
}

} // namespace

using namespace ETWLogging;

MessageBusShimImpl::MessageBusShimImpl(BusHandle handle, BusFunctions* functions)
    : handle_(handle), functions_(functions) {
    if (handle == nullptr) {
        HXLOG(LOG_LEVEL_ERROR, logSource, constructorName,
              L"Invalid message bus handle. Throwing ModuleException.");
        throw ModuleException("Invalid message bus handle");
    }
    requireUsable(functions);
}

void MessageBusShimImpl::requireUsable(const BusFunctions* functions) {
    if (functions == nullptr || !hasEveryEntry(*functions)) {
        HXLOG(LOG_LEVEL_ERROR, logSource, constructorName,
              L"Invalid message bus functions object. Throwing ModuleException.");
        throw ModuleException("Invalid message bus functions object");
    }
}

MessageBusShimImpl::~MessageBusShimImpl() {
    guardedCall([this] { return functions_->cancelReplies(handle_, onBusReply); });
}

MODULE_STATUS MessageBusShimImpl::publish(const std::shared_ptr<Message>& message) {
    if (!message) {
        return MODULE_STATUS_INVALID_PARAMETER;
    }
    return functions_->publish(handle_, &message->getHeader(), message->getName().c_str(),
                               message->getAlias().c_str(), message->getPayload().c_str());
}

MODULE_STATUS MessageBusShimImpl::request(const std::shared_ptr<Message>& message, std::uint64_t requestIndex,
                                          ReplyFunction* context, std::uint64_t timeLimit) {
    if (!message) {
        return MODULE_STATUS_INVALID_PARAMETER;
    }
    return functions_->request(handle_, requestIndex, context, onBusReply, &message->getHeader(),
                               message->getName().c_str(), message->getAlias().c_str(),
                               message->getPayload().c_str(), timeLimit);
}

MODULE_STATUS MessageBusShimImpl::cancelReplies() {
    return functions_->cancelReplies(handle_, onBusReply);
}

std::uint32_t MessageBusShimImpl::subscribe(const std::wstring& messageName, MessageHandler* context) {
    return functions_->subscribe(handle_, context, onBusMessage, messageName.c_str());
}

std::uint32_t MessageBusShimImpl::subscribeFilter(const std::wstring& pattern, MessageHandler* context) {
    return functions_->subscribeFilter(handle_, context, onBusMessage, pattern.c_str());
}

MODULE_STATUS MessageBusShimImpl::unsubscribe(std::uint32_t subscriptionId) {
    return functions_->unsubscribe(handle_, subscriptionId);
}

MODULE_STATUS MessageBusShimImpl::onBusMessage(void* context, const MessageHeader* header,
                                               const wchar_t* name, const wchar_t* alias,
                                               const wchar_t* payload) {
    return guardedCall([&] {
        // We never subscribe without a handler: a null context would be the library's fault.
        if (context == nullptr) {
            return MODULE_STATUS_INVALID_PARAMETER;
        }
        const std::shared_ptr<Message> message = rebuildMessage(header, name, alias, payload);
        return (*static_cast<MessageHandler*>(context))(message);
    });
}

MODULE_STATUS MessageBusShimImpl::onBusReply(void* context, std::uint64_t requestIndex,
                                             const MessageHeader* header, const wchar_t* name,
                                             const wchar_t* alias, const wchar_t* payload,
                                             MODULE_STATUS status) {
    return guardedCall([&] {
        std::shared_ptr<Message> message;
        // Only a successful answer carries strings worth reading.
        if (status == MODULE_STATUS_SUCCESS) {
            message = rebuildMessage(header, name, alias, payload);
        }
        if (context == nullptr) {
            return MODULE_STATUS_INVALID_PARAMETER;
        }
        return (*static_cast<ReplyFunction*>(context))(requestIndex, message, status);
    });
}

} // namespace Corvane
