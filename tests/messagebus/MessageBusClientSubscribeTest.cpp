#include "messagebus/MessageBusClient.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "message/MessageHeader.h"
#include "messagebus/MessageBusClientFixture.h"

namespace {

using namespace Corvane;
using namespace PelmoraTests;
using ETWLogging::LOG_LEVEL_ERROR;
using ETWLogging::LOG_LEVEL_WARNING;

// A handler's own result, so that a test can tell it from the client's answers.
constexpr MODULE_STATUS handlerResult = MODULE_STATUS_PARTIAL_SUCCESS;

using MessageBusClientSubscribe = MessageBusClientFixture;

// Counts what reaches it.
struct CountingHandler {
    std::shared_ptr<int> count = std::make_shared<int>(0);
    MessageHandler handler() const {
        return [count = count](std::shared_ptr<Message>) {
            ++*count;
            return handlerResult;
        };
    }
};

MODULE_STATUS deliver(const FakeMessageBusShim::Subscribed& subscription, std::shared_ptr<Message> message) {
    return (*subscription.context)(std::move(message));
}

TEST_F(MessageBusClientSubscribe, FilesASubscriptionUnderItsNameWithoutAnAlias) {
    CountingHandler counting;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribe(L"Test.v1.Ping", counting.handler()));
    ASSERT_EQ(1u, shim->subscribed.size());
    EXPECT_EQ(L"Test.v1.Ping", shim->subscribed[0].nameOrPattern);

    EXPECT_EQ(handlerResult, deliver(shim->subscribed[0], message()));
    EXPECT_EQ(1, *counting.count);

    EXPECT_EQ(MODULE_STATUS_SUCCESS, client->unsubscribe(L"Test.v1.Ping"));
    EXPECT_EQ((std::vector<std::string>{"subscribe 1", "unsubscribe 1"}), calls());
    EXPECT_TRUE(logged().empty());
}

TEST_F(MessageBusClientSubscribe, UnsubscribesAnAliasNamesFirstThenPatterns) {
    CountingHandler counting;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribeFilter(L"Test\\..*", L"Group", counting.handler()));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribe(L"Test.v1.Ping", L"Group", counting.handler()));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribe(L"Test.v1.Pong", L"Group", counting.handler()));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribe(L"Test.v1.Other", L"Other", counting.handler()));
    EXPECT_EQ(L"Test\\..*", shim->subscribed[0].nameOrPattern);

    EXPECT_EQ(MODULE_STATUS_SUCCESS, client->unsubscribe(L"Group"));
    EXPECT_EQ((std::vector<std::string>{"subscribeFilter 1", "subscribe 2", "subscribe 3", "subscribe 4",
                                        "unsubscribe 2", "unsubscribe 3", "unsubscribe 1"}),
              calls());
    EXPECT_TRUE(logged().empty());

    EXPECT_EQ(MODULE_STATUS_SUCCESS, client->unsubscribe(L"Group"));
    EXPECT_EQ(7u, calls().size());
    EXPECT_EQ((std::vector<LogLine>{
                  line(LOG_LEVEL_WARNING, L"unsubscribe", L"Subscription not found. Alias: Group.")}),
              logged());
}

TEST_F(MessageBusClientSubscribe, DropsARefusedSubscriptionAndKeepsItsAlias) {
    const struct {
        const char* kind;
        std::function<MODULE_STATUS(MessageBusClient&, const MessageHandler&)> subscribe;
        LogLine refused;
    } cases[] = {
        {"name",
         [](MessageBusClient& c, const MessageHandler& h) {
             return c.subscribe(L"Test.v1.Ping", L"Group", h);
         },
         line(LOG_LEVEL_ERROR, L"subscribe",
              L"Failed to subscribe. Alias: Group Message name: Test.v1.Ping")},
        {"pattern",
         [](MessageBusClient& c, const MessageHandler& h) {
             return c.subscribeFilter(L"Test\\..*", L"Group", h);
         },
         line(LOG_LEVEL_ERROR, L"subscribeFilter",
              L"Failed to subscribeFilter. Alias: Group Message nameRegex: Test\\..*")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        auto fakeShim = std::make_shared<FakeMessageBusShim>();
        auto subject =
            std::make_unique<MessageBusClient>(fakeShim, std::make_shared<FakeProcessAPI>(1, TRUE, 1));
        log->clear();
        CountingHandler counting;
        fakeShim->refuseSubscriptions = true;

        EXPECT_EQ(MODULE_STATUS_UNSUCCESSFUL, c.subscribe(*subject, counting.handler()));
        EXPECT_EQ((std::vector<LogLine>{c.refused}), logged());
        EXPECT_EQ(1, counting.count.use_count()) << "the refused handler is released";

        log->clear();
        EXPECT_EQ(MODULE_STATUS_SUCCESS, subject->unsubscribe(L"Group"));
        EXPECT_TRUE(logged().empty()) << "the alias is still filed";
        EXPECT_EQ((std::vector<std::string>{c.kind == std::string("name") ? "subscribe refused"
                                                                          : "subscribeFilter refused"}),
                  fakeShim->journal->calls());
    }
}

TEST_F(MessageBusClientSubscribe, KeepsEarlierSubscriptionsOfAnAliasWhenOneIsRefused) {
    CountingHandler counting;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribe(L"Test.v1.Ping", L"Group", counting.handler()));
    shim->refuseSubscriptions = true;
    ASSERT_EQ(MODULE_STATUS_UNSUCCESSFUL, client->subscribe(L"Test.v1.Pong", L"Group", counting.handler()));
    EXPECT_EQ(MODULE_STATUS_SUCCESS, client->unsubscribe(L"Group"));
    EXPECT_EQ((std::vector<std::string>{"subscribe 1", "subscribe refused", "unsubscribe 1"}), calls());
}

TEST_F(MessageBusClientSubscribe, RejectsAMalformedPatternBeforeFilingAnything) {
    CountingHandler counting;
    EXPECT_THROW(client->subscribeFilter(L"(", counting.handler()), std::regex_error);
    EXPECT_THROW(client->subscribeFilterSession(L"(", L"Group", counting.handler()), std::regex_error);
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(logged().empty());

    EXPECT_EQ(MODULE_STATUS_SUCCESS, client->unsubscribe(L"("));
    EXPECT_EQ(MODULE_STATUS_SUCCESS, client->unsubscribe(L"Group"));
    EXPECT_EQ((std::vector<LogLine>{
                  line(LOG_LEVEL_WARNING, L"unsubscribe", L"Subscription not found. Alias: (."),
                  line(LOG_LEVEL_WARNING, L"unsubscribe", L"Subscription not found. Alias: Group.")}),
              logged());
}

// A message as the binding hands it over: a version-2 header in a session, or an old
// version-1 header, which has no session of its own.
std::shared_ptr<Message> inSession(std::uint32_t session, std::uint16_t version = MESSAGE_HEADER_VERSION_2) {
    auto message = Message::create(L"Test.v1.Ping", L"Tests", L"{}");
    MessageHeader received = defaultMessageHeader;
    received.version = version;
    received.extension.sessionId = session; // not part of a version-1 header
    message->getHeader().copyFrom(&received);
    return message;
}

TEST_F(MessageBusClientSubscribe, SessionScopedHandlersSeeOnlyTheirOwnSession) {
    const std::function<MODULE_STATUS(MessageBus&, const MessageHandler&)> scoped[] = {
        [](MessageBus& c, const MessageHandler& h) {
            return c.subscribeSession(L"Test.v1.Ping", L"Group", h);
        },
        [](MessageBus& c, const MessageHandler& h) { return c.subscribeSession(L"Test.v1.Ping", h); },
        [](MessageBus& c, const MessageHandler& h) {
            return c.subscribeFilterSession(L"Test\\..*", L"Group", h);
        },
        [](MessageBus& c, const MessageHandler& h) { return c.subscribeFilterSession(L"Test\\..*", h); },
    };
    const struct {
        const char* name;
        std::shared_ptr<Message> message;
        bool delivered;
    } deliveries[] = {
        {"no session", inSession(0), true},
        {"own session", inSession(clientSession), true},
        {"other session", inSession(7), false},
        {"version-1 header", inSession(7, MESSAGE_HEADER_VERSION_1), true},
    };
    for (const auto& subscribe : scoped) {
        shim->subscribed.clear();
        CountingHandler counting;
        ASSERT_EQ(MODULE_STATUS_SUCCESS, subscribe(*client, counting.handler()));
        for (const auto& d : deliveries) {
            SCOPED_TRACE(d.name);
            const int before = *counting.count;
            EXPECT_EQ(d.delivered ? handlerResult : MODULE_STATUS_SUCCESS,
                      deliver(shim->subscribed.at(0), d.message));
            EXPECT_EQ(before + (d.delivered ? 1 : 0), *counting.count);
        }
    }
}

TEST_F(MessageBusClientSubscribe, WithoutASessionScopedHandlersSeeEverything) {
    auto subject = makeClient(0);
    shim->subscribed.clear();
    CountingHandler counting;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, subject->subscribeSession(L"Test.v1.Ping", counting.handler()));
    EXPECT_EQ(handlerResult, deliver(shim->subscribed.at(0), inSession(7)));
    EXPECT_EQ(1, *counting.count);
}

// Sees what the forwarding operations hand to the two basic ones.
class ForwardingSpy : public MessageBusClient {
public:
    using MessageBusClient::MessageBusClient;
    using MessageBusClient::subscribe;
    using MessageBusClient::subscribeFilter;

    MODULE_STATUS subscribe(const std::wstring& messageName, const std::wstring& alias,
                            MessageHandler handler) override {
        return record(L"subscribe " + messageName + L" as " + alias, handler);
    }
    MODULE_STATUS subscribeFilter(const std::wstring& namePattern, const std::wstring& alias,
                                  MessageHandler handler) override {
        return record(L"subscribeFilter " + namePattern + L" as " + alias, handler);
    }

    std::vector<std::wstring> seen;

private:
    MODULE_STATUS record(const std::wstring& call, const MessageHandler& handler) {
        seen.push_back(call);
        return handler(nullptr); // the caller's handler, or its session wrapper around it
    }
};

TEST_F(MessageBusClientSubscribe, ForwardingOperationsGoThroughTheVirtualTable) {
    const MessageHandler handler = [](std::shared_ptr<Message>) { return handlerResult; };
    const struct {
        std::function<MODULE_STATUS(MessageBus&)> call;
        std::wstring seen;
    } cases[] = {
        {[&](MessageBus& c) { return c.subscribe(L"N", handler); }, L"subscribe N as N"},
        {[&](MessageBus& c) { return c.subscribeSession(L"N", L"A", handler); }, L"subscribe N as A"},
        {[&](MessageBus& c) { return c.subscribeSession(L"N", handler); }, L"subscribe N as N"},
        {[&](MessageBus& c) { return c.subscribeFilter(L"P", handler); }, L"subscribeFilter P as P"},
        {[&](MessageBus& c) { return c.subscribeFilterSession(L"P", L"A", handler); },
         L"subscribeFilter P as A"},
        {[&](MessageBus& c) { return c.subscribeFilterSession(L"P", handler); }, L"subscribeFilter P as P"},
    };
    for (const auto& c : cases) {
        ForwardingSpy spy(shim, std::make_shared<FakeProcessAPI>(processId, TRUE, clientSession));
        EXPECT_EQ(handlerResult, c.call(spy));
        EXPECT_EQ(std::vector<std::wstring>{c.seen}, spy.seen);
    }
    EXPECT_TRUE(shim->subscribed.empty());
}

} // namespace
