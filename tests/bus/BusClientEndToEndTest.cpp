// The bus client as the product uses it: getInstance finds, vets and loads a real
// "EventRelay.dll" (a fake one or the development bus), publishes, and tears down.

#include <algorithm>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bus/BusLibraryPlacement.h"
#include "fakes/RecordedCall.h"
#include "message/Message.h"
#include "message/Reply.h"
#include "messagebus/MessageBusClient.h"
#include "support/CapturingLogger.h"
#include "support/ScratchFolder.h"

namespace {

using namespace Corvane;
using PelmoraTests::BusLibraryPlacement;
using PelmoraTests::ScopedEnvironment;

std::shared_ptr<Message> record(const std::wstring& payload = L"{\"type\":\"t\"}") {
    return Message::create(L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", payload);
}

// Failure lines of the client, without the progress lines at level Normal.
std::vector<std::wstring> problems(const PelmoraTests::CapturingLogger& log) {
    std::vector<std::wstring> texts;
    for (const auto& entry : log.entries()) {
        if (entry.level != 1) {
            texts.push_back(entry.text);
        }
    }
    return texts;
}

class BusClient : public testing::Test {
protected:
    PelmoraTests::CapturingLogger& log = PelmoraTests::InstallCapturingLogger();
    ScratchFolder scratch;
    ScopedEnvironment recording{L"FAKE_BUS_RECORD", scratch.path() + L"\\calls.txt"};
    ScopedEnvironment messages{L"EVENTRELAY_LOG", scratch.path() + L"\\messages.jsonl"};

    std::vector<RecordedCall> calls() { return RecordedCall::readFile(scratch.path() + L"\\calls.txt"); }
    std::vector<std::string> entriesOf(const std::vector<RecordedCall>& list) {
        std::vector<std::string> names;
        for (const auto& call : list) {
            names.push_back(call.entry());
        }
        return names;
    }
};

TEST_F(BusClient, WithoutABusLibraryGetInstanceLogsWhyAndGivesNothing) {
    ASSERT_FALSE(BusLibraryPlacement::loaded());
    EXPECT_EQ(nullptr, MessageBusClient::getInstance());
    const std::wstring folder = BusLibraryPlacement::executableFolder();
    const std::vector<std::wstring> expected = {
        L"Entering findFilePath for file EventRelay.dll",
        L"Entering checkIfExists for " + folder + L"\\EventRelay.dll",
        L"File does not exist.",
        L"Skipping search path $(Tamrok.InstallDir): not a fully qualified folder.",
        L"File not found.",
        L"Failed to find valid path for library: EventRelay.dll.",
        L"Failed to load library: EventRelay.dll. Throwing ModuleException.",
    };
    const auto texts = log.texts();
    ASSERT_EQ(expected.size() + 2, texts.size());
    EXPECT_EQ(expected, std::vector<std::wstring>(texts.begin(), texts.begin() + expected.size()));
    EXPECT_EQ(0u, texts[expected.size()].rfind(L"Q4VXPerfTimer|MessageBusLib::MessageBusLib|", 0));
    EXPECT_EQ(L"Failed to create message bus client. Caught ModuleException - what: Failed to load library.",
              texts.back());
    EXPECT_EQ(L"Corvane::MessageBusClient::getInstance", log.entries().back().function);
    EXPECT_EQ(4u, log.entries().back().level);
}

// Each broken bus library ends in an empty client, one exact line, and the library unloaded.
TEST_F(BusClient, EveryBrokenBusLibraryEndsInNoClientAndIsUnloaded) {
    const struct {
        const wchar_t* variant;
        std::vector<std::wstring> lines;
    } cases[] = {
        {L"missing-export",
         {L"getProcAddress was unsuccessful in finding the handle's address",
          L"Failed to load GetVersionNum function from library: EventRelay.dll.",
          L"Failed to import functions from library: EventRelay.dll. Throwing ModuleException.",
          L"Failed to create message bus client. Caught ModuleException - what: Failed to import functions from "
          L"library."}},
        {L"null-object",
         {L"Failed to get message bus functions object. Throwing ModuleException.",
          L"Failed to create message bus client. Caught ModuleException - what: Failed to get message bus functions "
          L"object."}},
        {L"acquire-fails",
         {L"Failed to get message bus handle. Error code: MODULE_STATUS_NO_MEMORY(2147483657). Throwing "
          L"ModuleException.",
          L"Failed to create message bus client. Caught ModuleException - what: Failed to get message bus handle."}},
        {L"null-handle",
         {L"Invalid message bus handle. Throwing ModuleException.",
          L"Failed to create message bus client. Caught ModuleException - what: Invalid message bus handle."}},
        {L"null-entry",
         {L"Invalid message bus functions object. Throwing ModuleException.",
          L"Failed to create message bus client. Caught ModuleException - what: Invalid message bus functions "
          L"object."}},
    };
    for (const auto& c : cases) {
        log.clear();
        {
            BusLibraryPlacement placed(BusLibraryPlacement::fakeBus(c.variant));
            EXPECT_EQ(nullptr, MessageBusClient::getInstance()) << c.variant;
            EXPECT_FALSE(BusLibraryPlacement::loaded()) << c.variant;
        }
        EXPECT_EQ(c.lines, problems(log)) << c.variant;
    }
}

TEST_F(BusClient, APublishTheBusRefusesReturnsItsStatus) {
    BusLibraryPlacement placed(BusLibraryPlacement::fakeBus(L"publish-fails"));
    auto bus = MessageBusClient::getInstance();
    ASSERT_NE(nullptr, bus);
    EXPECT_EQ(MODULE_STATUS_UNSUCCESSFUL, bus->publish(record()));
    EXPECT_EQ(std::vector<std::wstring>{L"Failed to publish message. Error code 2147483650."}, problems(log));
}

TEST_F(BusClient, TeardownWithdrawsRepliesTwiceReleasesOnceThenUnloads) {
    {
        BusLibraryPlacement placed(BusLibraryPlacement::fakeBus(L"recording"));
        auto bus = MessageBusClient::getInstance();
        ASSERT_NE(nullptr, bus);
        EXPECT_TRUE(BusLibraryPlacement::loaded());
        bus.reset();
        EXPECT_FALSE(BusLibraryPlacement::loaded());
    }
    const auto list = calls();
    EXPECT_EQ((std::vector<std::string>{"CreateObject", "acquireHandle", "cancelReplies", "cancelReplies",
                                        "releaseHandle"}),
              entriesOf(list));
    EXPECT_EQ(1006000u, list[0].numberOf("version"));
    EXPECT_EQ(list[1].numberOf("handle"), list[4].numberOf("handle"));
}

TEST_F(BusClient, TwoClientsHoldTwoHandlesAndEachReleasesItsOwn) {
    {
        BusLibraryPlacement placed(BusLibraryPlacement::fakeBus(L"recording"));
        auto first = MessageBusClient::getInstance();
        auto second = MessageBusClient::getInstance();
        ASSERT_NE(nullptr, first);
        ASSERT_NE(nullptr, second);
        first.reset();
        const auto list = calls();
        EXPECT_EQ(2, std::count_if(list.begin(), list.end(), [](const RecordedCall& c) { return c.entry() == "acquireHandle"; }));
        EXPECT_EQ(1, std::count_if(list.begin(), list.end(), [](const RecordedCall& c) { return c.entry() == "releaseHandle"; }));
        EXPECT_TRUE(BusLibraryPlacement::loaded()); // the second client still holds it
        second.reset();
        EXPECT_FALSE(BusLibraryPlacement::loaded());
    }
    // The development bus refuses a released handle: the survivor's must still work.
    BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());
    auto first = MessageBusClient::getInstance();
    auto second = MessageBusClient::getInstance();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    first.reset();
    EXPECT_EQ(MODULE_STATUS_SUCCESS, second->publish(record()));
    EXPECT_TRUE(problems(log).empty());
}

TEST_F(BusClient, AReplyMessageGoesOutTwiceWithTheHeaderChangesBetween) {
    BusLibraryPlacement placed(BusLibraryPlacement::fakeBus(L"recording"));
    auto bus = MessageBusClient::getInstance();
    ASSERT_NE(nullptr, bus);
    auto reply = record(L"answer");
    MessageHeader& header = reply->getHeader();
    header.setFlag(MESSAGE_FLAG_REPLY);
    for (int i = 0; i < 8; ++i) {
        header.replyData[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    ASSERT_EQ(MODULE_STATUS_SUCCESS, bus->publish(reply));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, bus->publish(reply)); // the copy was sent: once more only
    bus.reset();

    std::vector<std::vector<std::uint8_t>> headers;
    for (const auto& call : calls()) {
        if (call.entry() == "publish") {
            headers.push_back(call.bytesOf("header"));
            EXPECT_EQ(L"answer", call.textOf("payload").value_or(L""));
        }
    }
    ASSERT_EQ(3u, headers.size());
    const auto flags = [](const std::vector<std::uint8_t>& bytes) {
        return bytes[6] | bytes[7] << 8 | bytes[8] << 16 | static_cast<std::uint32_t>(bytes[9]) << 24;
    };
    const auto replyData = [](const std::vector<std::uint8_t>& bytes) {
        return std::vector<std::uint8_t>(bytes.begin() + 92, bytes.begin() + 100);
    };
    EXPECT_EQ(0x11u, flags(headers[0])); // reply + copy sent
    EXPECT_EQ((std::vector<std::uint8_t>{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7}), replyData(headers[0]));
    EXPECT_EQ(0x10u, flags(headers[1])); // the copy: reply cleared
    EXPECT_EQ(std::vector<std::uint8_t>(8, 0), replyData(headers[1]));
    EXPECT_EQ(headers[1], headers[2]);
}

TEST_F(BusClient, RequestsAreAnsweredThroughTheDevelopmentBus) {
    BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());
    auto requester = MessageBusClient::getInstance();
    auto responder = MessageBusClient::getInstance();
    ASSERT_NE(nullptr, requester);
    ASSERT_NE(nullptr, responder);
    MessageBus* answering = responder.get();
    ASSERT_EQ(MODULE_STATUS_SUCCESS,
              responder->subscribe(L"Test.Question", [answering](std::shared_ptr<Message> question) {
                  auto answer = Message::create(L"Test.Answer", L"responder", L"42 to " + question->getPayload());
                  answer->getHeader().setFlag(MESSAGE_FLAG_REPLY);
                  std::copy(std::begin(question->getHeader().replyData), std::end(question->getHeader().replyData),
                            answer->getHeader().replyData);
                  return answering->publish(answer);
              }));

    std::shared_ptr<Reply> reply;
    ASSERT_EQ(MODULE_STATUS_SUCCESS,
              requester->request(Message::create(L"Test.Question", L"asker", L"life"), reply, 10000));
    ASSERT_NE(nullptr, reply);
    EXPECT_EQ(REPLY_STATUS_RECEIVED, reply->wait());
    ASSERT_NE(nullptr, reply->getMessage());
    EXPECT_EQ(L"42 to life", reply->getMessage()->getPayload());

    // Nobody answers this one within its limit.
    ASSERT_EQ(MODULE_STATUS_SUCCESS, responder->subscribe(L"Test.Silence", [](std::shared_ptr<Message>) {
        return MODULE_STATUS_SUCCESS;
    }));
    std::shared_ptr<Reply> silent;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, requester->request(Message::create(L"Test.Silence", L"asker", L""), silent, 50));
    EXPECT_EQ(REPLY_STATUS_TIMED_OUT, silent->wait());

    // A name nobody subscribes to is refused at once.
    std::shared_ptr<Reply> none;
    EXPECT_EQ(MODULE_STATUS_NO_SUBSCRIBERS,
              requester->request(Message::create(L"Test.Nobody", L"asker", L""), none, 1000));
    EXPECT_EQ(nullptr, none);
}

TEST_F(BusClient, APendingReplyFailsWhenItsClientGoes) {
    BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());
    auto requester = MessageBusClient::getInstance();
    auto listener = MessageBusClient::getInstance();
    ASSERT_NE(nullptr, requester);
    ASSERT_EQ(MODULE_STATUS_SUCCESS, listener->subscribe(L"Test.Ignored", [](std::shared_ptr<Message>) {
        return MODULE_STATUS_SUCCESS;
    }));
    std::shared_ptr<Reply> reply;
    ASSERT_EQ(MODULE_STATUS_SUCCESS,
              requester->request(Message::create(L"Test.Ignored", L"asker", L""), reply, 60000));
    requester.reset();
    EXPECT_EQ(REPLY_STATUS_FAILED, reply->wait());
}

TEST_F(BusClient, SubscribersOfTheDevelopmentBusReceivePublishedMessages) {
    BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());
    auto publisher = MessageBusClient::getInstance();
    auto subscriber = MessageBusClient::getInstance();
    std::promise<std::wstring> exact;
    std::promise<std::wstring> pattern;
    ASSERT_EQ(MODULE_STATUS_SUCCESS, subscriber->subscribe(L"Analytics.v1.AddRecord", L"records",
                                                           [&exact](std::shared_ptr<Message> message) {
                                                               exact.set_value(message->getPayload());
                                                               return MODULE_STATUS_SUCCESS;
                                                           }));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, subscriber->subscribeFilter(L"Analytics\\.v1\\..*", L"records",
                                                                 [&pattern](std::shared_ptr<Message> message) {
                                                                     pattern.set_value(message->getAlias());
                                                                     return MODULE_STATUS_SUCCESS;
                                                                 }));
    ASSERT_EQ(MODULE_STATUS_SUCCESS, publisher->publish(record(L"{\"x\":\"1\"}")));
    auto exactFuture = exact.get_future();
    auto patternFuture = pattern.get_future();
    ASSERT_EQ(std::future_status::ready, exactFuture.wait_for(std::chrono::seconds(30)));
    ASSERT_EQ(std::future_status::ready, patternFuture.wait_for(std::chrono::seconds(30)));
    EXPECT_EQ(L"{\"x\":\"1\"}", exactFuture.get());
    EXPECT_EQ(L"Strivan.LegacyCOM", patternFuture.get());
    EXPECT_EQ(MODULE_STATUS_SUCCESS, subscriber->unsubscribe(L"records"));
}

} // namespace
