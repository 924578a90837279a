#include "messagebus/MessageBusClient.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "message/Reply.h"
#include "messagebus/MessageBusClientFixture.h"
#include "status/ModuleException.h"

namespace {

using namespace Corvane;
using namespace PelmoraTests;
using ETWLogging::LOG_LEVEL_ERROR;
using ETWLogging::LOG_LEVEL_NORMAL;

// Reaches getInstance's boundary with a factory of the test's choosing.
struct InstanceBoundary : MessageBusClient {
    using MessageBusClient::createInstance;
};

using MessageBusClientLifecycle = MessageBusClientFixture;

TEST_F(MessageBusClientLifecycle, LooksUpTheSessionOfItsProcess) {
    const struct {
        BOOL lookupResult;
        DWORD sessionWritten;
        LogLine expectedLine;
        bool otherSessionsDropped;
    } cases[] = {
        {TRUE, 5, line(LOG_LEVEL_NORMAL, L"MessageBusClient", L"Found session id 5 for process 4242"), true},
        {FALSE, 9,
         line(LOG_LEVEL_ERROR, L"MessageBusClient",
              L"Failed to get the session id for process 4242 - defaulting to 0"),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lookupResult);
        log->clear();
        auto fakeShim = std::make_shared<FakeMessageBusShim>();
        auto processApi = std::make_shared<FakeProcessAPI>(processId, c.lookupResult, c.sessionWritten);
        MessageBusClient subject(fakeShim, processApi);

        EXPECT_EQ(processId, processApi->askedFor);
        EXPECT_EQ((std::vector<LogLine>{c.expectedLine}), logged());

        int delivered = 0;
        ASSERT_EQ(MODULE_STATUS_SUCCESS,
                  subject.subscribeSession(L"Test.v1.Ping", [&](std::shared_ptr<Message>) {
                      ++delivered;
                      return MODULE_STATUS_SUCCESS;
                  }));
        auto other = message();
        other->getHeader().extension.sessionId = 7;
        (*fakeShim->subscribed.at(0).context)(other);
        EXPECT_EQ(c.otherSessionsDropped ? 0 : 1, delivered);
    }
}

TEST_F(MessageBusClientLifecycle, AsksTheOperatingSystemWithoutAProcessApi) {
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));
    MessageBusClient subject(shim, nullptr);
    EXPECT_EQ((std::vector<LogLine>{line(LOG_LEVEL_NORMAL, L"MessageBusClient",
                                         L"Found session id " + std::to_wstring(session) + L" for process " +
                                             std::to_wstring(GetCurrentProcessId()))}),
              logged());
}

TEST_F(MessageBusClientLifecycle, RefusesToRunWithoutABinding) {
    EXPECT_THROW(MessageBusClient(nullptr, std::make_shared<FakeProcessAPI>(processId, TRUE, 1)),
                 ModuleException);
}

TEST_F(MessageBusClientLifecycle, GetInstanceLogsWhateverBuildingThrowsAndReturnsNothing) {
    const std::wstring prefix = L"Failed to create message bus client. Caught ";
    const struct {
        const char* thrown;
        std::function<std::unique_ptr<MessageBus>()> create;
        std::wstring text;
    } cases[] = {
        {"bad_alloc", []() -> std::unique_ptr<MessageBus> { throw std::bad_alloc(); },
         prefix + L"bad_alloc - Failed to alllocate resources."},
        {"ModuleException",
         []() -> std::unique_ptr<MessageBus> { throw ModuleException("Failed to load library"); },
         prefix + L"ModuleException - what: Failed to load library."},
        {"runtime_error", []() -> std::unique_ptr<MessageBus> { throw std::runtime_error("other"); },
         prefix + L"unexpected exception."},
        {"int", []() -> std::unique_ptr<MessageBus> { throw 7; }, prefix + L"unexpected exception."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.thrown);
        log->clear();
        EXPECT_EQ(nullptr, InstanceBoundary::createInstance(c.create));
        EXPECT_EQ((std::vector<LogLine>{{LOG_LEVEL_ERROR, L"MessageBusClient",
                                         L"Corvane::MessageBusClient::getInstance", c.text}}),
                  logged());
    }
}

TEST_F(MessageBusClientLifecycle, GetInstanceHandsOverWhatWasBuilt) {
    MessageBus* built = nullptr;
    const auto instance = InstanceBoundary::createInstance([&]() -> std::unique_ptr<MessageBus> {
        auto created = makeClient(1);
        built = created.get();
        return created;
    });
    EXPECT_EQ(built, instance.get());
}

TEST_F(MessageBusClientLifecycle, TearsDownRepliesThenSubscriptionsThenTheBinding) {
    auto handlerState = std::make_shared<int>(0);
    MessageHandler handler = [handlerState](std::shared_ptr<Message>) { return MODULE_STATUS_SUCCESS; };
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribe(L"Name.One", L"A", handler));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribeFilter(L"Name\\..*", L"A", handler));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribe(L"Name.Two", L"A", handler));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->subscribe(L"Name.Three", L"B", handler));
    std::shared_ptr<Reply> reply;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->request(message(), reply, 1000));

    const std::weak_ptr<int> handlerAlive = handlerState;
    handlerState.reset();
    handler = nullptr;
    REPLY_STATUS replyAtUnbinding = REPLY_STATUS_PENDING;
    bool handlersAliveAtUnbinding = true;
    shim->onDestroy = [&] {
        replyAtUnbinding = reply->waitFor(std::chrono::milliseconds(0));
        handlersAliveAtUnbinding = !handlerAlive.expired();
    };
    shim.reset();
    const size_t before = calls().size();
    client.reset();

    std::vector<std::string> teardown = calls();
    teardown.erase(teardown.begin(), teardown.begin() + static_cast<std::ptrdiff_t>(before));
    ASSERT_EQ(6u, teardown.size()) << testing::PrintToString(teardown);
    EXPECT_EQ("cancelReplies", teardown.front());
    EXPECT_EQ("destroyed", teardown.back());
    // The aliases come in any order; within one alias, names first and then patterns.
    const std::vector<std::string> unsubscribes(teardown.begin() + 1, teardown.end() - 1);
    std::vector<std::string> aliasA;
    std::copy_if(unsubscribes.begin(), unsubscribes.end(), std::back_inserter(aliasA),
                 [](const std::string& call) { return call != "unsubscribe 4"; });
    EXPECT_EQ((std::vector<std::string>{"unsubscribe 1", "unsubscribe 3", "unsubscribe 2"}), aliasA);
    EXPECT_NE(unsubscribes.end(), std::find(unsubscribes.begin(), unsubscribes.end(), "unsubscribe 4"));

    EXPECT_EQ(REPLY_STATUS_FAILED, replyAtUnbinding);
    EXPECT_FALSE(handlersAliveAtUnbinding);
    EXPECT_EQ(REPLY_STATUS_FAILED, reply->wait());
    EXPECT_TRUE(logged().empty());
}

TEST_F(MessageBusClientLifecycle, UnsubscribesEvenWhenWithdrawingRepliesThrows) {
    ASSERT_EQ(MODULE_STATUS_SUCCESS,
              client->subscribe(L"Name.One", [](std::shared_ptr<Message>) { return MODULE_STATUS_SUCCESS; }));
    shim->throwOnCancelReplies = true;
    client.reset();
    EXPECT_EQ((std::vector<std::string>{"subscribe 1", "cancelReplies", "unsubscribe 1"}), calls());
}

} // namespace
