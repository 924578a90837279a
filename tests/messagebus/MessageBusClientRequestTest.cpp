#include "messagebus/MessageBusClient.h"

#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "message/Reply.h"
#include "message/ReplyImpl.h"
#include "messagebus/MessageBusClientFixture.h"

namespace {

using namespace Corvane;
using namespace PelmoraTests;
using ETWLogging::LOG_LEVEL_ERROR;
using ETWLogging::LOG_LEVEL_WARNING;
using std::chrono::seconds;

using MessageBusClientRequest = MessageBusClientFixture;

// What a ReplyHandler saw when it ran.
struct HandledReply {
    REPLY_STATUS status;
    std::shared_ptr<Message> message;
    bool settled; // a further wait returned the same status at once
};

ReplyHandler recordInto(std::promise<HandledReply>& handled) {
    return [&handled](std::shared_ptr<Reply> reply) {
        const REPLY_STATUS status = reply->getStatus();
        handled.set_value(
            {status, reply->getMessage(), reply->waitFor(std::chrono::milliseconds(0)) == status});
    };
}

TEST_F(MessageBusClientRequest, HandsTheBusTheMessageItsIndexAndTheTimeLimit) {
    auto sent = message();
    std::shared_ptr<Reply> reply;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(sent, reply, 1234));

    ASSERT_EQ(1u, shim->requests.size());
    EXPECT_EQ(sent, shim->requests[0].message);
    EXPECT_EQ(0u, shim->requests[0].index);
    EXPECT_NE(nullptr, shim->requests[0].context);
    EXPECT_EQ(1234u, shim->requests[0].timeLimit);
    ASSERT_NE(nullptr, reply);
    EXPECT_EQ(REPLY_STATUS_PENDING, reply->getStatus());
    EXPECT_TRUE(logged().empty());
}

TEST_F(MessageBusClientRequest, SettlesTheReplyOfEitherFormFromTheAnswer) {
    const auto answerMessage = message(L"Test.v1.Pong");
    const struct {
        const char* name;
        std::shared_ptr<Message> message;
        MODULE_STATUS status;
        REPLY_STATUS expected;
    } cases[] = {
        {"answer", answerMessage, MODULE_STATUS_SUCCESS, REPLY_STATUS_RECEIVED},
        {"answer without message", nullptr, MODULE_STATUS_SUCCESS, REPLY_STATUS_FAILED},
        {"timed out", nullptr, MODULE_STATUS_TIMEOUT, REPLY_STATUS_TIMED_OUT},
        {"bus error", nullptr, MODULE_STATUS_NO_SUBSCRIBERS, REPLY_STATUS_FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        shim->requests.clear();
        std::shared_ptr<Reply> reply;
        ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(message(), reply, 1000));
        std::promise<HandledReply> handled;
        ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(message(), recordInto(handled), 1000));

        for (const auto& request : shim->requests) {
            EXPECT_EQ(MODULE_STATUS_SUCCESS, FakeMessageBusShim::answer(request, c.message, c.status));
        }

        EXPECT_EQ(c.expected, reply->wait());
        EXPECT_EQ(c.expected == REPLY_STATUS_RECEIVED ? answerMessage : nullptr, reply->getMessage());
        auto handledFuture = handled.get_future();
        ASSERT_EQ(std::future_status::ready, handledFuture.wait_for(seconds(20)));
        const HandledReply seen = handledFuture.get();
        EXPECT_EQ(c.expected, seen.status);
        EXPECT_EQ(c.expected == REPLY_STATUS_RECEIVED ? answerMessage : nullptr, seen.message);
        EXPECT_TRUE(seen.settled);
    }
    EXPECT_TRUE(logged().empty());
}

TEST_F(MessageBusClientRequest, RefusesASecondAnswerAndKeepsTheFirst) {
    const auto first = message(L"Test.v1.First");
    std::shared_ptr<Reply> reply;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(message(), reply, 1000));

    EXPECT_EQ(MODULE_STATUS_SUCCESS,
              FakeMessageBusShim::answer(shim->requests[0], first, MODULE_STATUS_SUCCESS));
    EXPECT_EQ(
        MODULE_STATUS_NOT_FOUND,
        FakeMessageBusShim::answer(shim->requests[0], message(L"Test.v1.Second"), MODULE_STATUS_SUCCESS));

    EXPECT_EQ(REPLY_STATUS_RECEIVED, reply->wait());
    EXPECT_EQ(first, reply->getMessage());
    EXPECT_EQ((std::vector<LogLine>{
                  line(LOG_LEVEL_WARNING, L"replyCallback", L"Reply index not found. Returning")}),
              logged());
}

TEST_F(MessageBusClientRequest, RefusedRequestsStillUseUpTheirIndex) {
    shim->requestResult = MODULE_STATUS_INVALID_PARAMETER;
    std::shared_ptr<Reply> reply =
        std::make_shared<ReplyImpl>(std::shared_future<std::shared_ptr<Message>>());
    const std::shared_ptr<Reply> untouched = reply;
    bool handlerRan = false;
    EXPECT_EQ(MODULE_STATUS_INVALID_PARAMETER, client->request(nullptr, reply, 1000));
    EXPECT_EQ(untouched, reply);
    EXPECT_EQ(MODULE_STATUS_INVALID_PARAMETER,
              client->request(
                  message(), [&](std::shared_ptr<Reply>) { handlerRan = true; }, 1000));
    // Nothing is left waiting for an answer.
    for (const auto& request : shim->requests) {
        EXPECT_EQ(MODULE_STATUS_NOT_FOUND,
                  FakeMessageBusShim::answer(request, message(), MODULE_STATUS_SUCCESS));
    }
    EXPECT_FALSE(handlerRan);

    shim->requestResult = MODULE_STATUS_SUCCESS;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(message(), reply, 1000));
    EXPECT_EQ((std::vector<std::string>{"request 0", "request 1", "request 2"}), calls());

    const auto refused = line(LOG_LEVEL_ERROR, L"request", L"Failed to make request. Error code 2147483656.");
    const auto notFound = line(LOG_LEVEL_WARNING, L"replyCallback", L"Reply index not found. Returning");
    EXPECT_EQ((std::vector<LogLine>{refused, refused, notFound, notFound}), logged());
}

TEST_F(MessageBusClientRequest, AbandonsPendingRequestsWhenDestroyed) {
    std::shared_ptr<Reply> reply;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(message(), reply, 1000));
    bool handlerRan = false;
    ASSERT_EQ(MODULE_STATUS_SUCCESS,
              client->request(
                  message(), [&](std::shared_ptr<Reply>) { handlerRan = true; }, 1000));

    client.reset();

    EXPECT_EQ(REPLY_STATUS_FAILED, reply->wait());
    EXPECT_EQ(nullptr, reply->getMessage());
    EXPECT_FALSE(handlerRan);
    EXPECT_TRUE(logged().empty());
}

TEST_F(MessageBusClientRequest, TakesAnAnswerThatArrivesBeforeTheBusCallReturns) {
    const auto answerMessage = message(L"Test.v1.Pong");
    MODULE_STATUS overtaking = MODULE_STATUS_INVALID_STATE;
    shim->duringRequest = [&](const FakeMessageBusShim::Request& request) {
        overtaking = FakeMessageBusShim::answer(request, answerMessage, MODULE_STATUS_SUCCESS);
    };
    std::shared_ptr<Reply> reply;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(message(), reply, 1000));
    EXPECT_EQ(MODULE_STATUS_SUCCESS, overtaking);
    EXPECT_EQ(REPLY_STATUS_RECEIVED, reply->wait());
    EXPECT_EQ(answerMessage, reply->getMessage());
}

TEST_F(MessageBusClientRequest, AReplyHandlerMayMakeARequestOfItsOwn) {
    std::promise<MODULE_STATUS> nested;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(
                                         message(),
                                         [&](std::shared_ptr<Reply>) {
                                             std::shared_ptr<Reply> second;
                                             nested.set_value(client->request(message(), second, 1000));
                                         },
                                         1000));
    auto answered = FakeMessageBusShim::answerLater(shim->requests.at(0), message(), MODULE_STATUS_SUCCESS);
    auto nestedResult = nested.get_future();
    if (nestedResult.wait_for(seconds(20)) != std::future_status::ready) {
        (void)client.release(); // stuck on another thread: leave it alone
        FAIL() << "the handler's request never returned";
    }
    EXPECT_EQ(MODULE_STATUS_SUCCESS, nestedResult.get());
    EXPECT_EQ(MODULE_STATUS_SUCCESS, answered.take());
    EXPECT_EQ((std::vector<std::string>{"request 0", "request 1"}), calls());
}

TEST_F(MessageBusClientRequest, SwallowsWhatAReplyHandlerThrows) {
    ASSERT_EQ(MODULE_STATUS_SUCCESS,
              client->request(
                  message(), [](std::shared_ptr<Reply>) { throw std::runtime_error("handler"); }, 1000));
    EXPECT_EQ(MODULE_STATUS_SUCCESS,
              FakeMessageBusShim::answer(shim->requests[0], message(), MODULE_STATUS_SUCCESS));
    EXPECT_TRUE(logged().empty());
}

} // namespace
