#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "BuildTree.h"
#include "BusLibrary.h"
#include "EnvironmentFile.h"
#include "Inbox.h"
#include "PageEndHeader.h"
#include "ReplyInbox.h"
#include "TestHeaders.h"
#include "fakes/RecordedCall.h"

namespace EventRelayTests {
namespace {

using namespace Corvane;

std::uint64_t address(const void* pointer) {
    return reinterpret_cast<std::uintptr_t>(pointer);
}
std::uint64_t address(BusReplyCallback callback) {
    return address(reinterpret_cast<const void*>(callback));
}
std::uint64_t address(BusMessageCallback callback) {
    return address(reinterpret_cast<const void*>(callback));
}

TEST(FakeBus, EachVariantFailsAsNamed) {
    struct Case {
        const wchar_t* variant;
        std::function<void(const BusLibrary&)> check;
    };
    const std::vector<Case> cases = {
        {L"missing-export",
         [](const BusLibrary& library) {
             EXPECT_EQ(library.exportOf(BUS_EXPORT_GET_VERSION_NUM), nullptr);
             for (const char* name :
                  {BUS_EXPORT_CREATE_OBJECT, BUS_EXPORT_RELEASE_OBJECT, BUS_EXPORT_GET_VERSION_STR}) {
                 EXPECT_NE(library.exportOf(name), nullptr) << name;
             }
         }},
        {L"null-object", [](const BusLibrary& library) { EXPECT_EQ(library.createObject(), nullptr); }},
        {L"acquire-fails",
         [](const BusLibrary& library) {
             BusHandle handle = nullptr;
             EXPECT_EQ(library.createObject()->acquireHandle(&handle), MODULE_STATUS_NO_MEMORY);
         }},
        {L"null-handle",
         [](const BusLibrary& library) {
             BusHandle handle = reinterpret_cast<BusHandle>(1);
             EXPECT_EQ(library.createObject()->acquireHandle(&handle), MODULE_STATUS_SUCCESS);
             EXPECT_EQ(handle, nullptr);
         }},
        {L"publish-fails",
         [](const BusLibrary& library) {
             BusFunctions* bus = library.createObject();
             BusHandle handle = nullptr;
             ASSERT_EQ(bus->acquireHandle(&handle), MODULE_STATUS_SUCCESS);
             MessageHeader header = makeHeader();
             EXPECT_EQ(bus->publish(handle, &header, L"Name", L"Alias", L"Payload"),
                       MODULE_STATUS_UNSUCCESSFUL);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variant, c.variant + wcslen(c.variant)));
        BusLibrary library(BuildTree::fakeBus(c.variant));
        c.check(library);
    }
}

TEST(FakeBus, RecordingVariantLeavesEveryCallReadableAfterUnload) {
    EnvironmentFile record(L"FAKE_BUS_RECORD");
    const MessageHeader versionTwo = makeHeader(0x11, 120, 4);
    const MessageHeader versionOneContent = makeHeader(0, 100, 0, MESSAGE_HEADER_VERSION_1);
    PageEndHeader versionOne(versionOneContent);
    int context = 0;
    BusFunctions* table = nullptr;
    BusHandle handle = nullptr;
    BusSubscriptionId subscription = 0;
    {
        BusLibrary library(BuildTree::fakeBus(L"recording"));
        table = library.createObject();
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->acquireHandle(&handle), MODULE_STATUS_SUCCESS);
        MessageHeader header = versionTwo;
        EXPECT_EQ(table->publish(handle, &header, L"Tab\tLine\nBack\\slash", L"", nullptr),
                  MODULE_STATUS_SUCCESS);
        EXPECT_EQ(table->publish(handle, versionOne.get(), L"Old", L"Alias", L"caf\u00e9"),
                  MODULE_STATUS_SUCCESS);
        EXPECT_EQ(table->request(handle, 7, &context, ReplyInbox::receive, &header, L"Ask", L"A", L"Q", 250),
                  MODULE_STATUS_SUCCESS);
        subscription = table->subscribe(handle, &context, Inbox::receive, L"Sub");
        EXPECT_NE(subscription, 0u);
        EXPECT_NE(table->subscribeFilter(handle, &context, Inbox::receive, L"S.*"), subscription);
        table->unsubscribe(handle, subscription);
        table->cancelReplies(handle, ReplyInbox::receive);
        table->releaseHandle(handle);
        ASSERT_TRUE(library.unload());
    }

    const std::vector<RecordedCall> calls = RecordedCall::readFile(record.path());
    std::vector<std::string> entries;
    for (const RecordedCall& call : calls) {
        entries.push_back(call.entry());
    }
    ASSERT_EQ(entries, (std::vector<std::string>{"CreateObject", "acquireHandle", "publish", "publish",
                                                 "request", "subscribe", "subscribeFilter", "unsubscribe",
                                                 "cancelReplies", "releaseHandle"}));
    EXPECT_EQ(calls[0].numberOf("version"), BUS_FUNCTIONS_VERSION);
    EXPECT_EQ(calls[0].numberOf("result"), address(table));
    EXPECT_EQ(calls[1].numberOf("handle"), address(handle));
    EXPECT_EQ(calls[1].numberOf("result"), MODULE_STATUS_SUCCESS);

    const std::vector<std::uint8_t> twoBytes = calls[2].bytesOf("header");
    ASSERT_EQ(twoBytes.size(), MESSAGE_HEADER_V2_SIZE);
    EXPECT_EQ(std::memcmp(twoBytes.data(), &versionTwo, MESSAGE_HEADER_V2_SIZE), 0);
    EXPECT_EQ(calls[2].textOf("name"), L"Tab\tLine\nBack\\slash");
    EXPECT_EQ(calls[2].textOf("alias"), L"");
    EXPECT_FALSE(calls[2].has("payload")) << "null is left out";
    const std::vector<std::uint8_t> oneBytes = calls[3].bytesOf("header");
    ASSERT_EQ(oneBytes.size(), MESSAGE_HEADER_V1_SIZE);
    EXPECT_EQ(std::memcmp(oneBytes.data(), &versionOneContent, MESSAGE_HEADER_V1_SIZE), 0);
    EXPECT_EQ(calls[3].textOf("payload"), L"caf\u00e9");

    EXPECT_EQ(calls[4].numberOf("requestIndex"), 7u);
    EXPECT_EQ(calls[4].numberOf("context"), address(&context));
    EXPECT_EQ(calls[4].numberOf("callback"), address(ReplyInbox::receive));
    EXPECT_EQ(calls[4].numberOf("timeLimit"), 250u);
    EXPECT_EQ(calls[4].textOf("name"), L"Ask");
    EXPECT_EQ(calls[5].textOf("messageName"), L"Sub");
    EXPECT_EQ(calls[5].numberOf("callback"), address(Inbox::receive));
    EXPECT_EQ(calls[5].numberOf("result"), subscription);
    EXPECT_EQ(calls[6].textOf("pattern"), L"S.*");
    EXPECT_EQ(calls[7].numberOf("id"), subscription);
    EXPECT_EQ(calls[8].numberOf("callback"), address(ReplyInbox::receive));
    EXPECT_EQ(calls[9].numberOf("handle"), address(handle));
}

TEST(FakeBus, RecordsNothingWithoutTheVariable) {
    EnvironmentFile record(L"FAKE_BUS_RECORD");
    SetEnvironmentVariableW(L"FAKE_BUS_RECORD", nullptr);
    BusLibrary library(BuildTree::fakeBus(L"recording"));
    ASSERT_NE(library.createObject(), nullptr);
    EXPECT_EQ(GetFileAttributesW(record.path().c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
} // namespace EventRelayTests
