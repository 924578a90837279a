#include "messagebus/MessageBusClient.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
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

constexpr std::uint32_t REPLY = 1u << MESSAGE_FLAG_REPLY;
constexpr std::uint32_t NO_COPY = 1u << MESSAGE_FLAG_NO_COPY;
constexpr std::uint32_t COPY_SENT = 1u << MESSAGE_FLAG_COPY_SENT;
constexpr std::uint32_t OTHER_FLAG = 1u << 1;

// What a header's flags and reply data looked like.
struct Marks {
    std::uint32_t flags;
    bool replyData;

    bool operator==(const Marks& other) const { return flags == other.flags && replyData == other.replyData; }
    static Marks of(const MessageHeader& header) {
        const std::uint8_t zero[sizeof header.replyData] = {};
        return {header.flags, std::memcmp(header.replyData, zero, sizeof zero) != 0};
    }
};

void PrintTo(const Marks& marks, std::ostream* out) {
    *out << "flags " << marks.flags << (marks.replyData ? " with reply data" : " without reply data");
}

using MessageBusClientPublish = MessageBusClientFixture;

TEST_F(MessageBusClientPublish, SendsAReplyOnceMoreAsAPlainMessage) {
    const std::wstring failed = L"Failed to publish message. Error code 2147483650.";
    const std::wstring copyFailed =
        L"Failed to publish non-reply copy of the message. Error code 2147483661.";
    const struct {
        const char* name;
        std::uint32_t flags;
        std::deque<MODULE_STATUS> busResults;
        MODULE_STATUS result;
        std::vector<Marks> sent;
        Marks after;
        std::vector<LogLine> lines;
    } cases[] = {
        {"reply",
         REPLY | OTHER_FLAG,
         {},
         MODULE_STATUS_SUCCESS,
         {{REPLY | COPY_SENT | OTHER_FLAG, true}, {COPY_SENT | OTHER_FLAG, false}},
         {COPY_SENT | OTHER_FLAG, false},
         {}},
        {"reply without copy",
         REPLY | NO_COPY,
         {},
         MODULE_STATUS_SUCCESS,
         {{REPLY | NO_COPY, true}},
         {REPLY | NO_COPY, true},
         {}},
        {"reply with its copy sent",
         REPLY | COPY_SENT,
         {},
         MODULE_STATUS_SUCCESS,
         {{REPLY | COPY_SENT, true}},
         {REPLY | COPY_SENT, true},
         {}},
        {"plain message",
         OTHER_FLAG,
         {},
         MODULE_STATUS_SUCCESS,
         {{OTHER_FLAG, true}},
         {OTHER_FLAG, true},
         {}},
        {"plain message refused",
         OTHER_FLAG,
         {MODULE_STATUS_UNSUCCESSFUL},
         MODULE_STATUS_UNSUCCESSFUL,
         {{OTHER_FLAG, true}},
         {OTHER_FLAG, true},
         {line(LOG_LEVEL_ERROR, L"publish", failed)}},
        // Nothing went out, so the message stays as it was and a second try sends the copy too.
        {"reply refused",
         REPLY,
         {MODULE_STATUS_UNSUCCESSFUL},
         MODULE_STATUS_UNSUCCESSFUL,
         {{REPLY | COPY_SENT, true}},
         {REPLY, true},
         {line(LOG_LEVEL_ERROR, L"publish", failed)}},
        {"copy refused",
         REPLY,
         {MODULE_STATUS_SUCCESS, MODULE_STATUS_TIMEOUT},
         MODULE_STATUS_SUCCESS,
         {{REPLY | COPY_SENT, true}, {COPY_SENT, false}},
         {COPY_SENT, false},
         {line(LOG_LEVEL_WARNING, L"publish", copyFailed)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log->clear();
        shim->published.clear();
        shim->publishResults = c.busResults;
        auto sent = message();
        sent->getHeader().flags = c.flags;
        sent->getHeader().replyData[7] = 0x5A;

        EXPECT_EQ(c.result, client->publish(sent));

        std::vector<Marks> marks;
        for (const auto& published : shim->published) {
            EXPECT_EQ(sent, published.message);
            marks.push_back(Marks::of(published.header));
        }
        EXPECT_EQ(c.sent, marks);
        EXPECT_EQ(c.after, Marks::of(sent->getHeader()));
        EXPECT_EQ(c.lines, logged());
    }
}

TEST_F(MessageBusClientPublish, RetriesARefusedReplyWithItsCopy) {
    auto reply = message();
    reply->getHeader().setFlag(MESSAGE_FLAG_REPLY);
    shim->publishResults = {MODULE_STATUS_NO_SUBSCRIBERS};
    ASSERT_EQ(MODULE_STATUS_NO_SUBSCRIBERS, client->publish(reply));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, client->publish(reply));
    EXPECT_EQ(3u, shim->published.size());
}

TEST_F(MessageBusClientPublish, RefusesAnEmptyMessageWithoutCallingTheBus) {
    EXPECT_EQ(MODULE_STATUS_INVALID_PARAMETER, client->publish(nullptr));
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(logged().empty());
}

} // namespace
