#include <gtest/gtest.h>

#include <cstring>

#include "RelayTest.h"

namespace EventRelayTests {
namespace {

using namespace Corvane;

class RequestTest : public RelayTest {
protected:
    // A service that answers each request with `answers` reply publishes from inside the delivery.
    void serve(int answers) {
        service_.onDelivery([this, answers](const Delivery& request) {
            for (int i = 0; i < answers; ++i) {
                const std::wstring payload = L"answer " + std::to_wstring(i);
                serviceStatuses_.push_back(
                    server_.publish(L"Svc.Answer", payload.c_str(), answerHeader(request.header), L"Svc"));
            }
        });
        ASSERT_NE(server_.subscribe(service_, L"Svc.Ask"), 0u);
    }

    // Inboxes first: they must outlive the connections that deliver to them.
    Inbox service_;
    std::vector<MODULE_STATUS> serviceStatuses_;
    ReplyInbox replies_;
    BusConnection server_{bus_};
    BusConnection client_{bus_};
};

TEST_F(RequestTest, ReplyPublishAnswersTheRequesterOnce) {
    serve(2);
    ASSERT_EQ(client_.request(replies_, 77, L"Svc.Ask", 10000), MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(replies_.waitFor(1));
    flush(client_);

    const std::vector<Answer> answers = replies_.answers();
    ASSERT_EQ(answers.size(), 1u) << "a second answer to the same request goes nowhere";
    EXPECT_EQ(answers[0].context, &replies_);
    EXPECT_EQ(answers[0].requestIndex, 77u);
    EXPECT_EQ(answers[0].status, MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(answers[0].header.has_value());
    const Delivery request = service_.deliveries().at(0);
    EXPECT_NE(replyDataOf(request.header), 0u) << "the relay marks the request";
    const MessageHeader published = answerHeader(request.header);
    EXPECT_EQ(std::memcmp(&*answers[0].header, &published, MESSAGE_HEADER_V2_SIZE), 0);
    EXPECT_EQ(answers[0].name, L"Svc.Answer");
    EXPECT_EQ(answers[0].alias, L"Svc");
    EXPECT_EQ(answers[0].payload, L"answer 0");
    EXPECT_EQ(serviceStatuses_, (std::vector<MODULE_STATUS>{MODULE_STATUS_SUCCESS, MODULE_STATUS_SUCCESS}));

    EXPECT_EQ(request.name, L"Svc.Ask");
    EXPECT_EQ(request.payload, L"question");
    std::vector<std::string> names;
    for (const std::string& line : log_.lines()) {
        names.push_back(line.substr(line.find("\"name\":")));
        names.back() = names.back().substr(0, names.back().find(','));
    }
    EXPECT_EQ(names, (std::vector<std::string>{R"("name":"Svc.Ask")", R"("name":"Svc.Answer")",
                                               R"("name":"Svc.Answer")", R"("name":"Relay.Flush")"}));
}

TEST_F(RequestTest, RequestsAreAnsweredSeparately) {
    serve(1);
    for (std::uint64_t index = 0; index < 3; ++index) {
        ASSERT_EQ(client_.request(replies_, index, L"Svc.Ask", 10000), MODULE_STATUS_SUCCESS);
    }
    ASSERT_TRUE(replies_.waitFor(3));
    std::vector<std::uint64_t> indices;
    for (const Answer& answer : replies_.answers()) {
        indices.push_back(answer.requestIndex);
    }
    EXPECT_EQ(indices, (std::vector<std::uint64_t>{0, 1, 2}));
}

TEST_F(RequestTest, UnansweredRequestTimesOutOnceWithoutMessage) {
    ASSERT_NE(server_.subscribe(service_, L"Svc.Ask"), 0u);
    ASSERT_EQ(client_.request(replies_, 5, L"Svc.Ask", 50), MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(replies_.waitFor(1));

    ASSERT_TRUE(service_.waitFor(1));
    EXPECT_EQ(server_.publish(L"Svc.Answer", L"late", answerHeader(service_.deliveries()[0].header)),
              MODULE_STATUS_SUCCESS);
    flush(client_);

    const std::vector<Answer> answers = replies_.answers();
    ASSERT_EQ(answers.size(), 1u) << "a late answer goes nowhere";
    EXPECT_EQ(answers[0].status, MODULE_STATUS_TIMEOUT);
    EXPECT_EQ(answers[0].context, &replies_);
    EXPECT_EQ(answers[0].requestIndex, 5u);
    EXPECT_FALSE(answers[0].header.has_value());
    EXPECT_FALSE(answers[0].name.has_value());
    EXPECT_FALSE(answers[0].alias.has_value());
    EXPECT_FALSE(answers[0].payload.has_value());
}

TEST_F(RequestTest, RequestNobodySubscribesToIsRefusedAtOnce) {
    Inbox elsewhere;
    ASSERT_NE(server_.subscribe(elsewhere, L"Svc.Other"), 0u);
    EXPECT_EQ(client_.request(replies_, 1, L"Svc.Ask", 10000), MODULE_STATUS_NO_SUBSCRIBERS);
    flush(client_);
    EXPECT_TRUE(replies_.answers().empty());
    EXPECT_TRUE(elsewhere.deliveries().empty());
    EXPECT_EQ(log_.lines().size(), 1u) << "only the flush is logged";
}

TEST_F(RequestTest, RequestOnAReleasedConnectionIsNeverAnswered) {
    ASSERT_NE(server_.subscribe(service_, L"Svc.Ask"), 0u);
    ASSERT_EQ(client_.request(replies_, 1, L"Svc.Ask", 10000), MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(service_.waitFor(1));
    ASSERT_EQ(client_.release(), MODULE_STATUS_SUCCESS);
    EXPECT_EQ(server_.publish(L"Svc.Answer", L"too late", answerHeader(service_.deliveries()[0].header)),
              MODULE_STATUS_SUCCESS);
    flush(server_);
    EXPECT_TRUE(replies_.answers().empty());
}

} // namespace
} // namespace EventRelayTests
