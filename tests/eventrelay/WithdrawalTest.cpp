#include <gtest/gtest.h>

#include <functional>
#include <future>

#include "Gate.h"
#include "Limits.h"
#include "RelayTest.h"

namespace EventRelayTests {
namespace {

using namespace Corvane;
using namespace std::chrono_literals;

class WithdrawalTest : public RelayTest {
protected:
    // The withdrawal, made from another thread while the gated callback runs, must not
    // return before that callback has finished.
    static void expectWaitsForRunningCallback(Gate& gate, const std::function<MODULE_STATUS()>& withdraw) {
        ASSERT_TRUE(gate.waitEntered());
        auto withdrawn = std::async(std::launch::async, [&] {
            const MODULE_STATUS status = withdraw();
            return std::make_pair(status, gate.passed());
        });
        EXPECT_EQ(withdrawn.wait_for(200ms), std::future_status::timeout) << "returned during the callback";
        gate.open();
        const auto [status, callbackHadFinished] = withdrawn.get();
        EXPECT_EQ(status, MODULE_STATUS_SUCCESS);
        EXPECT_TRUE(callbackHadFinished);
    }
};

TEST_F(WithdrawalTest, UnsubscribeInsideItsOwnDeliveryEndsDeliveries) {
    Inbox inbox;
    BusConnection connection(bus_);
    BusSubscriptionId id = 0;
    MODULE_STATUS status = MODULE_STATUS_UNSUCCESSFUL;
    inbox.onDelivery([&](const Delivery&) { status = connection.unsubscribe(id); });
    id = connection.subscribe(inbox, L"Once");
    ASSERT_NE(id, 0u);

    for (const wchar_t* payload : {L"1", L"2", L"3"}) {
        ASSERT_EQ(connection.publish(L"Once", payload), MODULE_STATUS_SUCCESS);
    }
    flush(connection);
    EXPECT_EQ(inbox.payloads(), std::vector<std::wstring>{L"1"});
    EXPECT_EQ(status, MODULE_STATUS_SUCCESS);
}

TEST_F(WithdrawalTest, UnsubscribeInsideAnEarlierDeliveryStopsTheSameMessage) {
    Inbox first, second;
    BusConnection connection(bus_);
    BusSubscriptionId secondId = 0;
    first.onDelivery([&](const Delivery&) { connection.unsubscribe(secondId); });
    ASSERT_NE(connection.subscribe(first, L"Both"), 0u);
    secondId = connection.subscribe(second, L"Both");
    ASSERT_NE(secondId, 0u);

    ASSERT_EQ(connection.publish(L"Both"), MODULE_STATUS_SUCCESS);
    flush(connection);
    EXPECT_EQ(first.deliveries().size(), 1u);
    EXPECT_TRUE(second.deliveries().empty());
}

TEST_F(WithdrawalTest, ReleaseHandleInsideADeliveryEndsEverythingOfThatConnection) {
    Inbox inbox;
    BusConnection publisher(bus_);
    BusConnection subscriber(bus_);
    MODULE_STATUS status = MODULE_STATUS_UNSUCCESSFUL;
    inbox.onDelivery([&](const Delivery&) { status = subscriber.release(); });
    ASSERT_NE(subscriber.subscribe(inbox, L"Release"), 0u);
    ASSERT_NE(subscriber.subscribeFilter(inbox, L"Rel.*"), 0u);

    ASSERT_EQ(publisher.publish(L"Release", L"1"), MODULE_STATUS_SUCCESS);
    ASSERT_EQ(publisher.publish(L"Release", L"2"), MODULE_STATUS_SUCCESS);
    flush(publisher);
    EXPECT_EQ(inbox.payloads(), std::vector<std::wstring>{L"1"});
    EXPECT_EQ(status, MODULE_STATUS_SUCCESS);
    EXPECT_EQ(subscriber.publish(L"Release"), MODULE_STATUS_INVALID_HANDLE);
}

TEST_F(WithdrawalTest, RelayRestartsAfterTheLastConnectionWasReleasedInsideADelivery) {
    Inbox inbox, later;
    {
        BusConnection only(bus_);
        std::promise<MODULE_STATUS> released;
        inbox.onDelivery([&](const Delivery&) { released.set_value(only.release()); });
        ASSERT_NE(only.subscribe(inbox, L"Last"), 0u);
        ASSERT_EQ(only.publish(L"Last"), MODULE_STATUS_SUCCESS);
        auto status = released.get_future();
        ASSERT_EQ(status.wait_for(GENEROUS_LIMIT), std::future_status::ready);
        EXPECT_EQ(status.get(), MODULE_STATUS_SUCCESS);
    }
    BusConnection next(bus_);
    ASSERT_NE(next.subscribe(later, L"Again"), 0u);
    ASSERT_EQ(next.publish(L"Again"), MODULE_STATUS_SUCCESS);
    EXPECT_TRUE(later.waitFor(1));
}

TEST_F(WithdrawalTest, CancelRepliesInsideAnAnswerEndsAnswersThroughThatCallbackOnly) {
    Inbox service;
    ReplyInbox replies;
    BusConnection server(bus_);
    BusConnection client(bus_);
    // All three are answered together, so that every request is pending when the first answer arrives.
    std::vector<MessageHeader> requests;
    service.onDelivery([&](const Delivery& request) {
        requests.push_back(request.header);
        for (std::size_t i = 0; requests.size() == 3 && i < requests.size(); ++i) {
            server.publish(L"Svc.Answer", L"", answerHeader(requests[i]));
        }
    });
    ASSERT_NE(server.subscribe(service, L"Svc.Ask"), 0u);
    MODULE_STATUS status = MODULE_STATUS_UNSUCCESSFUL;
    replies.onAnswer([&](const Answer& answer) {
        if (answer.requestIndex == 0) {
            status = client.cancelReplies(ReplyInbox::receive);
        }
    });

    ASSERT_EQ(client.request(replies, 0, L"Svc.Ask", 10000, ReplyInbox::receive), MODULE_STATUS_SUCCESS);
    ASSERT_EQ(client.request(replies, 1, L"Svc.Ask", 10000, ReplyInbox::receive), MODULE_STATUS_SUCCESS);
    ASSERT_EQ(client.request(replies, 2, L"Svc.Ask", 10000, ReplyInbox::receiveToo), MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(replies.waitFor(2));
    flush(client);

    std::vector<std::uint64_t> answered;
    for (const Answer& answer : replies.answers()) {
        answered.push_back(answer.requestIndex);
    }
    EXPECT_EQ(answered, (std::vector<std::uint64_t>{0, 2}));
    EXPECT_EQ(status, MODULE_STATUS_SUCCESS);
}

TEST_F(WithdrawalTest, WithdrawingASubscriptionFromAnotherThreadWaitsForItsRunningDelivery) {
    struct Case {
        const char* what;
        std::function<MODULE_STATUS(BusConnection& subscriber, BusSubscriptionId id)> withdraw;
    };
    const std::vector<Case> cases = {
        {"unsubscribe",
         [](BusConnection& subscriber, BusSubscriptionId id) { return subscriber.unsubscribe(id); }},
        {"releaseHandle", [](BusConnection& subscriber, BusSubscriptionId) { return subscriber.release(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Inbox inbox;
        Gate gate;
        BusConnection publisher(bus_);
        BusConnection subscriber(bus_);
        inbox.onDelivery([&](const Delivery&) { gate.pass(); });
        const BusSubscriptionId id = subscriber.subscribe(inbox, L"Slow");
        ASSERT_NE(id, 0u);
        ASSERT_EQ(publisher.publish(L"Slow", L"1"), MODULE_STATUS_SUCCESS);

        expectWaitsForRunningCallback(gate, [&] { return c.withdraw(subscriber, id); });
        ASSERT_EQ(publisher.publish(L"Slow", L"2"), MODULE_STATUS_SUCCESS);
        flush(publisher);
        EXPECT_EQ(inbox.payloads(), std::vector<std::wstring>{L"1"});
    }
}

TEST_F(WithdrawalTest, CancelRepliesFromAnotherThreadWaitsForTheRunningAnswer) {
    Inbox service;
    ReplyInbox replies;
    Gate gate;
    BusConnection server(bus_);
    BusConnection client(bus_);
    std::vector<MessageHeader> requests;
    service.onDelivery([&](const Delivery& request) { requests.push_back(request.header); });
    ASSERT_NE(server.subscribe(service, L"Svc.Ask"), 0u);
    replies.onAnswer([&](const Answer&) { gate.pass(); });
    ASSERT_EQ(client.request(replies, 0, L"Svc.Ask", 10000), MODULE_STATUS_SUCCESS);
    ASSERT_EQ(client.request(replies, 1, L"Svc.Ask", 10000), MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(service.waitFor(2));
    flush(server);
    ASSERT_EQ(server.publish(L"Svc.Answer", L"", answerHeader(requests[0])), MODULE_STATUS_SUCCESS);

    expectWaitsForRunningCallback(gate, [&] { return client.cancelReplies(); });
    ASSERT_EQ(server.publish(L"Svc.Answer", L"", answerHeader(requests[1])), MODULE_STATUS_SUCCESS);
    flush(server);
    EXPECT_EQ(replies.answers().size(), 1u);
}

} // namespace
} // namespace EventRelayTests
