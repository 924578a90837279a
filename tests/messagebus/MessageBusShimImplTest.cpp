#include "messagebus/MessageBusShimImpl.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/LogLevels.h"
#include "RecordingBus.h"
#include "status/ModuleException.h"
#include "support/CapturingLogger.h"
#include "support/LogLine.h"

namespace {

using namespace Corvane;
using PelmoraTests::LogLine;
using PelmoraTests::RecordingBus;
using Call = RecordingBus::Call;

const BusHandle busHandle = RecordingBus::defaultHandle;

Call cancelReplies() {
    Call call = Call::of("cancelReplies", busHandle);
    call.replyCallback = MessageBusShimImpl::onBusReply;
    return call;
}

// A header as the library hands it over: version 1 is only 100 bytes long.
std::vector<std::uint8_t> receivedHeader(std::uint16_t version, std::uint32_t sessionId) {
    MessageHeader header = defaultMessageHeader;
    header.kind = 7;
    header.totalSize = 300;
    header.flags = 1u << MESSAGE_FLAG_COPY_SENT;
    header.version = version;
    header.busArea[0] = 0xAB;
    header.replyData[7] = 0xCD;
    header.extension.sessionId = sessionId;
    const std::size_t size =
        version == MESSAGE_HEADER_VERSION_1 ? MESSAGE_HEADER_V1_SIZE : MESSAGE_HEADER_V2_SIZE;
    std::vector<std::uint8_t> block(size);
    std::memcpy(block.data(), &header, size);
    return block;
}

const MessageHeader* asHeader(const std::vector<std::uint8_t>& block) {
    return reinterpret_cast<const MessageHeader*>(block.data());
}

class MessageBusShimImplTest : public testing::Test {
protected:
    PelmoraTests::CapturingLogger& log = PelmoraTests::InstallCapturingLogger();
    RecordingBus& bus = RecordingBus::instance();
    BusFunctions* const busTable = bus.table();
    const std::shared_ptr<Message> message =
        Message::create(L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", L"{}");

    void SetUp() override { bus.reset(); }
};

TEST_F(MessageBusShimImplTest, RefusesANullHandleOrFunctionTable) {
    BusFunctions withoutPublish = *busTable;
    withoutPublish.publish = nullptr;
    struct Case {
        BusHandle handle;
        BusFunctions* functions;
        std::string error;
        std::wstring line;
    };
    const Case cases[] = {
        {nullptr, busTable, "Invalid message bus handle",
         L"Invalid message bus handle. Throwing ModuleException."},
        {busHandle, nullptr, "Invalid message bus functions object",
         L"Invalid message bus functions object. Throwing ModuleException."},
        {nullptr, nullptr, "Invalid message bus handle",
         L"Invalid message bus handle. Throwing ModuleException."},
        {busHandle, &withoutPublish, "Invalid message bus functions object",
         L"Invalid message bus functions object. Throwing ModuleException."},
    };
    for (const Case& refused : cases) {
        log.clear();
        try {
            MessageBusShimImpl shim(refused.handle, refused.functions);
            ADD_FAILURE() << "no exception for " << refused.error;
        } catch (const ModuleException& error) {
            EXPECT_EQ(refused.error, error.what());
        }
        const std::vector<LogLine> expected = {{ETWLogging::LOG_LEVEL_ERROR, L"MessageBusShimImpl",
                                                L"Corvane::MessageBusShimImpl::MessageBusShimImpl",
                                                refused.line}};
        EXPECT_EQ(expected, logLinesOf(log));
    }
    EXPECT_TRUE(bus.calls.empty());
}

TEST_F(MessageBusShimImplTest, EachOperationCallsItsTableEntryAndTheDestructorWithdrawsReplies) {
    ReplyFunction replies;
    MessageHandler handler;
    const MessageHeader* header = &message->getHeader();
    const Call published = Call::of("publish", busHandle)
                               .withMessage(header, L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", L"{}");
    Call requested = published;
    requested.entry = "request";
    requested.index = 41;
    requested.context = &replies;
    requested.replyCallback = MessageBusShimImpl::onBusReply;
    requested.timeLimit = 5000;
    const auto onBusMessage = MessageBusShimImpl::onBusMessage;
    Call unsubscribed = Call::of("unsubscribe", busHandle);
    unsubscribed.id = 7;

    struct Case {
        const char* what;
        std::function<std::uint64_t(MessageBusShim&)> operation;
        std::uint64_t result;
        std::vector<Call> calls;
    };
    const Case cases[] = {
        {"publish",
         [&](MessageBusShim& shim) { return shim.publish(message); },
         MODULE_STATUS_PARTIAL_SUCCESS,
         {published}},
        {"request",
         [&](MessageBusShim& shim) { return shim.request(message, 41, &replies, 5000); },
         MODULE_STATUS_NO_SUBSCRIBERS,
         {requested}},
        {"cancelReplies",
         [](MessageBusShim& shim) { return shim.cancelReplies(); },
         MODULE_STATUS_INVALID_STATE,
         {cancelReplies()}},
        {"subscribe",
         [&](MessageBusShim& shim) { return shim.subscribe(L"Analytics.v1.AddRecord", &handler); },
         7,
         {Call::of("subscribe", busHandle)
              .withSubscription(&handler, onBusMessage, L"Analytics.v1.AddRecord")}},
        {"subscribeFilter",
         [&](MessageBusShim& shim) { return shim.subscribeFilter(L"Analytics.*", &handler); },
         8,
         {Call::of("subscribeFilter", busHandle).withSubscription(&handler, onBusMessage, L"Analytics.*")}},
        {"unsubscribe",
         [](MessageBusShim& shim) { return shim.unsubscribe(7); },
         MODULE_STATUS_NOT_FOUND,
         {unsubscribed}},
        {"publish without a message",
         [](MessageBusShim& shim) { return shim.publish(nullptr); },
         MODULE_STATUS_INVALID_PARAMETER,
         {}},
        {"request without a message",
         [&](MessageBusShim& shim) { return shim.request(nullptr, 41, &replies, 5000); },
         MODULE_STATUS_INVALID_PARAMETER,
         {}},
    };
    for (const Case& operation : cases) {
        bus.calls.clear();
        {
            MessageBusShimImpl shim(busHandle, busTable);
            EXPECT_EQ(operation.result, operation.operation(shim)) << operation.what;
        }
        std::vector<Call> expected = operation.calls;
        expected.push_back(cancelReplies());
        EXPECT_EQ(expected, bus.calls) << operation.what;
    }
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(MessageBusShimImplTest, ADeliveryReachesTheHandlerWithAVersion2Header) {
    struct Case {
        std::uint16_t version;
        std::uint32_t sessionId;
        std::uint32_t totalSize;
    };
    // A version-1 header grows by the 8-byte session extension, with session 0.
    const Case cases[] = {{MESSAGE_HEADER_VERSION_1, 0, 308}, {MESSAGE_HEADER_VERSION_2, 5, 300}};
    for (const Case& delivery : cases) {
        std::shared_ptr<Message> received;
        MessageHandler handler = [&](std::shared_ptr<Message> message) {
            received = message;
            return MODULE_STATUS_PARTIAL_SUCCESS;
        };
        const auto block = receivedHeader(delivery.version, 5);
        EXPECT_EQ(MODULE_STATUS_PARTIAL_SUCCESS,
                  MessageBusShimImpl::onBusMessage(&handler, asHeader(block), L"Name", L"Alias", L"Payload"));
        ASSERT_NE(nullptr, received) << "version " << delivery.version;
        EXPECT_EQ(L"Name", received->getName());
        EXPECT_EQ(L"Alias", received->getAlias());
        EXPECT_EQ(L"Payload", received->getPayload());
        const MessageHeader& header = received->getHeader();
        EXPECT_EQ(MESSAGE_HEADER_VERSION_2, header.version);
        ASSERT_NE(nullptr, header.getSessionExtension());
        EXPECT_EQ(delivery.sessionId, header.getSessionExtension()->sessionId);
        EXPECT_EQ(delivery.totalSize, header.totalSize);
        EXPECT_EQ(7, header.kind);
        EXPECT_TRUE(header.testFlag(MESSAGE_FLAG_COPY_SENT));
        EXPECT_EQ(0xAB, header.busArea[0]);
        EXPECT_EQ(0xCD, header.replyData[7]);
    }
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(MessageBusShimImplTest, ADeliveryWithNullTextsGivesEmptyTextsAndTheDefaultHeader) {
    std::shared_ptr<Message> received;
    MessageHandler handler = [&](std::shared_ptr<Message> message) {
        received = message;
        return MODULE_STATUS_SUCCESS;
    };
    EXPECT_EQ(MODULE_STATUS_SUCCESS,
              MessageBusShimImpl::onBusMessage(&handler, nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(nullptr, received);
    EXPECT_EQ(L"", received->getName() + received->getAlias() + received->getPayload());
    EXPECT_EQ(0, std::memcmp(&defaultMessageHeader, &received->getHeader(), sizeof(MessageHeader)));
}

TEST_F(MessageBusShimImplTest, NothingAHandlerThrowsReachesTheLibrary) {
    MessageHandler throwing = [](std::shared_ptr<Message>) -> MODULE_STATUS {
        throw std::runtime_error("handler");
    };
    MessageHandler empty;
    struct Case {
        const char* what;
        MessageHandler* context;
        MODULE_STATUS status;
    };
    const Case cases[] = {
        {"throwing handler", &throwing, MODULE_STATUS_UNKNOWN_EXCEPTION},
        {"empty handler", &empty, MODULE_STATUS_UNKNOWN_EXCEPTION},
        {"no context", nullptr, MODULE_STATUS_INVALID_PARAMETER},
    };
    const auto block = receivedHeader(MESSAGE_HEADER_VERSION_1, 0);
    for (const Case& delivery : cases) {
        EXPECT_EQ(delivery.status, MessageBusShimImpl::onBusMessage(delivery.context, asHeader(block),
                                                                    L"Name", L"Alias", L"Payload"))
            << delivery.what;
    }
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(MessageBusShimImplTest, AnAnswerReachesTheReplyFunctionWithItsIndexAndStatus) {
    struct Case {
        MODULE_STATUS status;
        bool withMessage;
    };
    // Only a successful answer carries a message.
    const Case cases[] = {
        {MODULE_STATUS_SUCCESS, true}, {MODULE_STATUS_TIMEOUT, false}, {MODULE_STATUS_UNSUCCESSFUL, false}};
    for (const Case& answer : cases) {
        std::uint64_t index = 0;
        std::shared_ptr<Message> received;
        MODULE_STATUS passedStatus = MODULE_STATUS_INVALID_STATE;
        ReplyFunction replies = [&](std::uint64_t requestIndex, const std::shared_ptr<Message>& message,
                                    MODULE_STATUS status) {
            index = requestIndex;
            received = message;
            passedStatus = status;
            return MODULE_STATUS_PARTIAL_SUCCESS;
        };
        const auto block = receivedHeader(MESSAGE_HEADER_VERSION_1, 0);
        EXPECT_EQ(MODULE_STATUS_PARTIAL_SUCCESS,
                  MessageBusShimImpl::onBusReply(&replies, 41, asHeader(block), L"Name", L"Alias", L"Payload",
                                                 answer.status));
        EXPECT_EQ(41u, index);
        EXPECT_EQ(answer.status, passedStatus);
        ASSERT_EQ(answer.withMessage, received != nullptr) << moduleStatusName(answer.status);
        if (received) {
            EXPECT_EQ(L"Payload", received->getPayload());
            EXPECT_EQ(MESSAGE_HEADER_VERSION_2, received->getHeader().version);
            EXPECT_EQ(0u, received->getHeader().getSessionExtension()->sessionId);
        }
    }
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(MessageBusShimImplTest, AnAnswerWithoutContextOrWithAThrowingReplyFunctionIsRefused) {
    ReplyFunction throwing = [](std::uint64_t, const std::shared_ptr<Message>&,
                                MODULE_STATUS) -> MODULE_STATUS { throw std::runtime_error("reply"); };
    struct Case {
        ReplyFunction* context;
        MODULE_STATUS status;
        MODULE_STATUS result;
    };
    const Case cases[] = {
        {nullptr, MODULE_STATUS_SUCCESS, MODULE_STATUS_INVALID_PARAMETER},
        {nullptr, MODULE_STATUS_TIMEOUT, MODULE_STATUS_INVALID_PARAMETER},
        {&throwing, MODULE_STATUS_SUCCESS, MODULE_STATUS_UNKNOWN_EXCEPTION},
    };
    const auto block = receivedHeader(MESSAGE_HEADER_VERSION_2, 0);
    for (const Case& answer : cases) {
        EXPECT_EQ(answer.result, MessageBusShimImpl::onBusReply(answer.context, 41, asHeader(block), L"Name",
                                                                L"Alias", L"Payload", answer.status))
            << moduleStatusName(answer.status);
    }
    EXPECT_TRUE(log.entries().empty());
}

} // namespace
