#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "PageEndHeader.h"
#include "RelayTest.h"

namespace EventRelayTests {
namespace {

using namespace Corvane;

using DeliveryTest = RelayTest;

std::vector<std::wstring> namesOf(const Inbox& inbox) {
    std::vector<std::wstring> names;
    for (const Delivery& delivery : inbox.deliveries()) {
        names.push_back(delivery.name + L":" + delivery.payload);
    }
    return names;
}

TEST_F(DeliveryTest, EachSubscriptionGetsTheMessagesItMatchesInPublishOrder) {
    Inbox exact, pattern, other, ownConnection;
    BusConnection publisher(bus_);
    BusConnection subscriber(bus_);
    ASSERT_NE(subscriber.subscribe(exact, L"Orders.Created"), 0u);
    ASSERT_NE(subscriber.subscribeFilter(pattern, L"Orders\\..*"), 0u);
    ASSERT_NE(subscriber.subscribeFilter(other, L"Orders"), 0u) << "must match the whole name";
    ASSERT_NE(publisher.subscribe(ownConnection, L"Orders.Created"), 0u);

    for (const auto& [name, payload] :
         std::vector<std::pair<const wchar_t*, const wchar_t*>>{{L"Orders.Created", L"1"},
                                                                {L"Orders.Deleted", L"2"},
                                                                {L"orders.created", L"3"},
                                                                {L"Orders.Created.Late", L"4"},
                                                                {L"Orders.Created", L"5"}}) {
        ASSERT_EQ(publisher.publish(name, payload), MODULE_STATUS_SUCCESS);
    }
    flush(publisher);

    EXPECT_EQ(namesOf(exact), (std::vector<std::wstring>{L"Orders.Created:1", L"Orders.Created:5"}));
    EXPECT_EQ(namesOf(pattern), (std::vector<std::wstring>{L"Orders.Created:1", L"Orders.Deleted:2",
                                                           L"Orders.Created.Late:4", L"Orders.Created:5"}));
    EXPECT_TRUE(other.deliveries().empty());
    EXPECT_EQ(namesOf(ownConnection), namesOf(exact)) << "the publisher's own connection is a subscriber too";
}

TEST_F(DeliveryTest, DeliveryCarriesTheMessageAsPublished) {
    Inbox inbox;
    BusConnection connection(bus_);
    ASSERT_NE(connection.subscribe(inbox, L"Carried"), 0u);
    const MessageHeader versionTwo = makeHeader(0x10, 300, 5);
    const MessageHeader versionOneContent = makeHeader(0x8, 200, 0, MESSAGE_HEADER_VERSION_1);
    PageEndHeader versionOne(versionOneContent);

    ASSERT_EQ(connection.publish(L"Carried", L"two", versionTwo, L"Alias.Two"), MODULE_STATUS_SUCCESS);
    ASSERT_EQ(bus_.publish(connection.handle(), versionOne.get(), L"Carried", L"Alias.One", L"one"),
              MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(inbox.waitFor(2));

    const std::vector<Delivery> deliveries = inbox.deliveries();
    EXPECT_EQ(std::memcmp(&deliveries[0].header, &versionTwo, MESSAGE_HEADER_V2_SIZE), 0);
    EXPECT_EQ(deliveries[0].alias, L"Alias.Two");
    EXPECT_EQ(deliveries[0].payload, L"two");
    EXPECT_EQ(std::memcmp(&deliveries[1].header, &versionOneContent, MESSAGE_HEADER_V1_SIZE), 0);
    EXPECT_EQ(deliveries[1].alias, L"Alias.One");
    EXPECT_EQ(deliveries[1].payload, L"one");
}

TEST_F(DeliveryTest, MalformedPatternIsRefusedAndIdsAreUniqueAndNonZero) {
    Inbox inbox;
    BusConnection connection(bus_);
    for (const wchar_t* malformed : {L"(", L"[a-", L"a{2,1}", L"*x", L"\\"}) {
        EXPECT_EQ(connection.subscribeFilter(inbox, malformed), 0u) << malformed;
    }
    std::set<BusSubscriptionId> ids;
    for (int i = 0; i < 5; ++i) {
        ids.insert(connection.subscribe(inbox, L"Same"));
        ids.insert(connection.subscribeFilter(inbox, L"S.*"));
    }
    EXPECT_EQ(ids.size(), 10u);
    EXPECT_EQ(ids.count(0), 0u);
}

TEST_F(DeliveryTest, RefusesInvalidHandlesAndArguments) {
    Inbox inbox;
    ReplyInbox replies;
    BusConnection connection(bus_);
    BusConnection closed(bus_);
    closed.release();
    MessageHeader header = makeHeader();
    const BusHandle open = connection.handle();
    const BusHandle bogus = reinterpret_cast<BusHandle>(0x5EED);

    struct Case {
        const char* what;
        std::function<MODULE_STATUS()> call;
        MODULE_STATUS expected;
    };
    const std::vector<Case> cases = {
        {"acquire without out parameter", [&] { return bus_.acquireHandle(nullptr); },
         MODULE_STATUS_INVALID_PARAMETER},
        {"release released", [&] { return bus_.releaseHandle(closed.handle()); },
         MODULE_STATUS_INVALID_HANDLE},
        {"release bogus", [&] { return bus_.releaseHandle(bogus); }, MODULE_STATUS_INVALID_HANDLE},
        {"publish released", [&] { return closed.publish(L"X"); }, MODULE_STATUS_INVALID_HANDLE},
        {"publish bogus", [&] { return bus_.publish(bogus, &header, L"X", L"", L""); },
         MODULE_STATUS_INVALID_HANDLE},
        {"publish null name", [&] { return bus_.publish(open, &header, nullptr, L"", L""); },
         MODULE_STATUS_INVALID_PARAMETER},
        {"publish null header", [&] { return bus_.publish(open, nullptr, L"X", L"", L""); },
         MODULE_STATUS_INVALID_PARAMETER},
        {"request released", [&] { return closed.request(replies, 0, L"X", 1000); },
         MODULE_STATUS_INVALID_HANDLE},
        {"request null name",
         [&] {
             return bus_.request(open, 0, &replies, ReplyInbox::receive, &header, nullptr, L"", L"", 1000);
         },
         MODULE_STATUS_INVALID_PARAMETER},
        {"request null callback",
         [&] { return bus_.request(open, 0, &replies, nullptr, &header, L"X", L"", L"", 1000); },
         MODULE_STATUS_INVALID_PARAMETER},
        {"subscribe released", [&] { return closed.subscribe(inbox, L"X"); }, 0u},
        {"subscribe null name", [&] { return bus_.subscribe(open, &inbox, Inbox::receive, nullptr); }, 0u},
        {"subscribe null callback", [&] { return bus_.subscribe(open, &inbox, nullptr, L"X"); }, 0u},
        {"subscribeFilter released", [&] { return closed.subscribeFilter(inbox, L"X"); }, 0u},
        {"unsubscribe released", [&] { return closed.unsubscribe(1); }, MODULE_STATUS_INVALID_HANDLE},
        {"unsubscribe unknown id", [&] { return connection.unsubscribe(0xABCDEF); }, MODULE_STATUS_NOT_FOUND},
        {"cancelReplies released", [&] { return closed.cancelReplies(); }, MODULE_STATUS_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(), c.expected) << c.what;
    }
    EXPECT_TRUE(log_.lines().empty()) << "nothing refused is logged";
}

TEST_F(DeliveryTest, ConnectionsAreIndependent) {
    Inbox firstInbox, secondInbox;
    BusConnection first(bus_);
    BusConnection second(bus_);
    EXPECT_NE(first.handle(), second.handle());
    const BusSubscriptionId firstId = first.subscribe(firstInbox, L"Shared");
    ASSERT_NE(firstId, 0u);
    ASSERT_NE(second.subscribe(secondInbox, L"Shared"), 0u);
    EXPECT_EQ(second.unsubscribe(firstId), MODULE_STATUS_NOT_FOUND) << "one connection cannot drop another's";

    ASSERT_EQ(first.publish(L"Shared", L"both"), MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(firstInbox.waitFor(1));
    ASSERT_EQ(first.release(), MODULE_STATUS_SUCCESS);
    ASSERT_EQ(second.publish(L"Shared", L"second only"), MODULE_STATUS_SUCCESS);
    flush(second);

    EXPECT_EQ(firstInbox.payloads(), std::vector<std::wstring>{L"both"});
    EXPECT_EQ(secondInbox.payloads(), (std::vector<std::wstring>{L"both", L"second only"}));
}

} // namespace
} // namespace EventRelayTests
