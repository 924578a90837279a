#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "message/Message.h"
#include "message/MessageHeader.h"
#include "messagebus/AnswerInFlight.h"
#include "messagebus/CallJournal.h"
#include "messagebus/MessageBusShim.h"
#include "messagebus/MessageBusTypes.h"
#include "status/ModuleStatus.h"

namespace PelmoraTests {

// An in-process bus binding: records what the client asks, answers as scripted, and lets a
// test answer requests and deliver messages through the contexts the client handed over,
// as the bus library does.
class FakeMessageBusShim : public Corvane::MessageBusShim {
public:
    struct Published {
        std::shared_ptr<Corvane::Message> message;
        Corvane::MessageHeader header; // as it was when it was sent
    };
    struct Request {
        std::shared_ptr<Corvane::Message> message;
        std::uint64_t index;
        Corvane::ReplyFunction* context;
        std::uint64_t timeLimit;
    };
    struct Subscribed {
        std::wstring nameOrPattern;
        Corvane::MessageHandler* context;
    };

    explicit FakeMessageBusShim(std::shared_ptr<CallJournal> journal = std::make_shared<CallJournal>());
    ~FakeMessageBusShim() override;

    Corvane::MODULE_STATUS publish(const std::shared_ptr<Corvane::Message>& message) override;
    Corvane::MODULE_STATUS request(const std::shared_ptr<Corvane::Message>& message,
                                   std::uint64_t requestIndex, Corvane::ReplyFunction* context,
                                   std::uint64_t timeLimit) override;
    Corvane::MODULE_STATUS cancelReplies() override;
    std::uint32_t subscribe(const std::wstring& messageName, Corvane::MessageHandler* context) override;
    std::uint32_t subscribeFilter(const std::wstring& pattern, Corvane::MessageHandler* context) override;
    Corvane::MODULE_STATUS unsubscribe(std::uint32_t subscriptionId) override;

    // Calls the client's reply function for the request on a thread of its own.
    static AnswerInFlight answerLater(const Request& request, std::shared_ptr<Corvane::Message> message,
                                      Corvane::MODULE_STATUS status);
    // answerLater, and its result.
    static Corvane::MODULE_STATUS answer(const Request& request, std::shared_ptr<Corvane::Message> message,
                                         Corvane::MODULE_STATUS status);

    // Scripted results. Publishes take theirs in order and succeed once the list is used up.
    std::deque<Corvane::MODULE_STATUS> publishResults;
    Corvane::MODULE_STATUS requestResult = Corvane::MODULE_STATUS_SUCCESS;
    bool refuseSubscriptions = false;
    bool throwOnCancelReplies = false;
    // Runs inside request before it returns: an answer that overtakes the call.
    std::function<void(const Request&)> duringRequest;
    // Runs in the destructor.
    std::function<void()> onDestroy;

    // What the client asked, one call at a time.
    std::shared_ptr<CallJournal> journal;
    std::vector<Published> published;
    std::vector<Request> requests;
    std::vector<Subscribed> subscribed; // index i holds id i + 1

private:
    std::uint32_t addSubscription(const std::string& kind, const std::wstring& nameOrPattern,
                                  Corvane::MessageHandler* context);
};

} // namespace PelmoraTests
