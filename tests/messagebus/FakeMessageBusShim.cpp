#include "messagebus/FakeMessageBusShim.h"

#include <stdexcept>
#include <utility>

namespace PelmoraTests {

using namespace Corvane;

FakeMessageBusShim::FakeMessageBusShim(std::shared_ptr<CallJournal> journal) : journal(std::move(journal)) {}

FakeMessageBusShim::~FakeMessageBusShim() {
    if (onDestroy) {
        onDestroy();
    }
    journal->add("destroyed");
}

MODULE_STATUS FakeMessageBusShim::publish(const std::shared_ptr<Message>& message) {
    journal->add("publish");
    published.push_back({message, message->getHeader()});
    if (publishResults.empty()) {
        return MODULE_STATUS_SUCCESS;
    }
    const MODULE_STATUS result = publishResults.front();
    publishResults.pop_front();
    return result;
}

MODULE_STATUS FakeMessageBusShim::request(const std::shared_ptr<Message>& message, std::uint64_t requestIndex,
                                          ReplyFunction* context, std::uint64_t timeLimit) {
    journal->add("request " + std::to_string(requestIndex));
    requests.push_back({message, requestIndex, context, timeLimit});
    if (duringRequest) {
        duringRequest(requests.back());
    }
    return requestResult;
}

MODULE_STATUS FakeMessageBusShim::cancelReplies() {
    journal->add("cancelReplies");
    if (throwOnCancelReplies) {
        throw std::runtime_error("cancelReplies");
    }
    return MODULE_STATUS_SUCCESS;
}

std::uint32_t FakeMessageBusShim::subscribe(const std::wstring& messageName, MessageHandler* context) {
    return addSubscription("subscribe", messageName, context);
}

std::uint32_t FakeMessageBusShim::subscribeFilter(const std::wstring& pattern, MessageHandler* context) {
    return addSubscription("subscribeFilter", pattern, context);
}

std::uint32_t FakeMessageBusShim::addSubscription(const std::string& kind, const std::wstring& nameOrPattern,
                                                  MessageHandler* context) {
    if (refuseSubscriptions) {
        journal->add(kind + " refused");
        return 0;
    }
    subscribed.push_back({nameOrPattern, context});
    const auto id = static_cast<std::uint32_t>(subscribed.size());
    journal->add(kind + " " + std::to_string(id));
    return id;
}

MODULE_STATUS FakeMessageBusShim::unsubscribe(std::uint32_t subscriptionId) {
    journal->add("unsubscribe " + std::to_string(subscriptionId));
    return MODULE_STATUS_NOT_FOUND; // the client ignores the result
}

AnswerInFlight FakeMessageBusShim::answerLater(const Request& request, std::shared_ptr<Message> message,
                                               MODULE_STATUS status) {
    return AnswerInFlight([context = request.context, index = request.index, message = std::move(message),
                           status] { return (*context)(index, message, status); });
}

MODULE_STATUS FakeMessageBusShim::answer(const Request& request, std::shared_ptr<Message> message,
                                         MODULE_STATUS status) {
    return answerLater(request, std::move(message), status).take();
}

} // namespace PelmoraTests
