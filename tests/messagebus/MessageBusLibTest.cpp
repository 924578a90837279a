#include "messagebus/MessageBusLib.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/LogLevels.h"
#include "RecordingBus.h"
#include "messagebus/MessageBusShimImpl.h"
#include "status/ModuleException.h"
#include "support/CapturingLogger.h"
#include "support/LogLine.h"

namespace {

using namespace Corvane;
using PelmoraTests::LogLine;
using PelmoraTests::RecordingBus;
using Call = RecordingBus::Call;
using Calls = std::vector<Call>;
using Lines = std::vector<LogLine>;

constexpr const wchar_t* libraryName = L"VersionedLibrary.dll";
const BusHandle ownHandle = RecordingBus::defaultHandle;

void unusedExport() {}

FARPROC exportOf(void (*function)()) {
    return reinterpret_cast<FARPROC>(function);
}

// Loads our small test DLL for real, but binds its bus exports to the in-process RecordingBus.
class InProcessBusLoader : public DllLoader {
public:
    FARPROC getProcAddress(HMODULE, const char* name) override {
        if (std::strcmp(name, BUS_EXPORT_CREATE_OBJECT) == 0) {
            return exportOf(reinterpret_cast<void (*)()>(&RecordingBus::createObject));
        }
        return exportOf(unusedExport);
    }
};

bool isMapped() {
    return GetModuleHandleW(libraryName) != nullptr;
}

Call createObject() {
    Call call = Call::of("CreateObject", nullptr);
    call.index = BUS_FUNCTIONS_VERSION;
    return call;
}

Call cancelReplies(BusHandle handle) {
    Call call = Call::of("cancelReplies", handle);
    call.replyCallback = MessageBusShimImpl::onBusReply;
    return call;
}

class MessageBusLibTest : public testing::Test {
protected:
    PelmoraTests::CapturingLogger& log = PelmoraTests::InstallCapturingLogger();
    RecordingBus& bus = RecordingBus::instance();
    const std::shared_ptr<Message> message =
        Message::create(L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", L"{}");
    std::weak_ptr<SharedLibrary> watchedLibrary;

    void SetUp() override {
        ASSERT_FALSE(isMapped()) << "left loaded by an earlier test";
        bus.reset();
    }

    // The test DLL beside the executable, found through the host-folder macro.
    std::shared_ptr<SharedLibrary> boundLibrary() {
        auto library = std::make_shared<SharedLibrary>(SharedLibraryInfo{libraryName, {L"$(App.Folder)"}},
                                                       std::make_shared<InProcessBusLoader>());
        watchedLibrary = library;
        log.clear();
        return library;
    }

    // The binding's lines; the timer's record, which carries times, is checked and taken off the end.
    Lines bindingLines() const {
        Lines lines = logLinesOf(log);
        if (lines.empty()) {
            ADD_FAILURE() << "no timer record";
            return lines;
        }
        const LogLine& timer = lines.back();
        EXPECT_EQ(L"performance\\PerfTimer", timer.file);
        EXPECT_EQ(0u, timer.text.rfind(L"Q4VXPerfTimer|MessageBusLib::MessageBusLib|", 0)) << timer.text;
        lines.pop_back();
        return lines;
    }
};

TEST_F(MessageBusLibTest, BindsOnceAndAtTheEndWithdrawsRepliesReleasesTheHandleAndUnloads) {
    {
        MessageBusLib binding(boundLibrary());
        EXPECT_EQ(Lines{}, bindingLines());
        EXPECT_EQ(MODULE_STATUS_PARTIAL_SUCCESS, binding.publish(message));
        log.clear();
    }
    const Calls expected = {
        createObject(), Call::of("acquireHandle", nullptr),
        Call::of("publish", ownHandle)
            .withMessage(&message->getHeader(), L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", L"{}"),
        cancelReplies(ownHandle), Call::of("releaseHandle", ownHandle)};
    EXPECT_EQ(expected, bus.calls);
    EXPECT_TRUE(watchedLibrary.expired());
    EXPECT_FALSE(isMapped());
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(MessageBusLibTest, AFailedBindingIsLoggedThrownAndUnloadsTheLibrary) {
    struct Case {
        const char* what;
        bool offersTable;
        MODULE_STATUS acquireStatus;
        BusHandle acquiredHandle;
        std::string error;
        LogLine line;
        Calls calls;
    };
    const wchar_t* constructor = L"Corvane::MessageBusLib::MessageBusLib";
    const Case cases[] = {
        {"no functions table",
         false,
         MODULE_STATUS_SUCCESS,
         ownHandle,
         "Failed to get message bus functions object",
         {ETWLogging::LOG_LEVEL_ERROR, L"MessageBusLib", constructor,
          L"Failed to get message bus functions object. Throwing ModuleException."},
         {createObject()}},
        {"no handle",
         true,
         MODULE_STATUS_NO_MEMORY,
         nullptr,
         "Failed to get message bus handle",
         {ETWLogging::LOG_LEVEL_ERROR, L"MessageBusLib", constructor,
          L"Failed to get message bus handle. Error code: MODULE_STATUS_NO_MEMORY(2147483657). Throwing "
          L"ModuleException."},
         {createObject(), Call::of("acquireHandle", nullptr)}},
        {"a null handle reported as success",
         true,
         MODULE_STATUS_SUCCESS,
         nullptr,
         "Invalid message bus handle",
         {ETWLogging::LOG_LEVEL_ERROR, L"MessageBusShimImpl",
          L"Corvane::MessageBusShimImpl::MessageBusShimImpl",
          L"Invalid message bus handle. Throwing ModuleException."},
         {createObject(), Call::of("acquireHandle", nullptr)}},
    };
    for (const Case& failure : cases) {
        bus.reset();
        bus.offersTable = failure.offersTable;
        bus.acquireStatus = failure.acquireStatus;
        bus.acquiredHandle = failure.acquiredHandle;
        try {
            MessageBusLib binding(boundLibrary());
            ADD_FAILURE() << "no exception for " << failure.what;
        } catch (const ModuleException& error) {
            EXPECT_EQ(failure.error, error.what());
        }
        EXPECT_EQ(Lines{failure.line}, bindingLines()) << failure.what;
        EXPECT_EQ(failure.calls, bus.calls) << failure.what;
        EXPECT_TRUE(watchedLibrary.expired()) << failure.what;
        EXPECT_FALSE(isMapped()) << failure.what;
    }
}

// A call through a null entry would end the host: the table is refused before its first use.
TEST_F(MessageBusLibTest, ATableWithANullEntryIsRefusedBeforeAnyCallThroughIt) {
    const char* entries[] = {"acquireHandle", "releaseHandle",   "publish",     "request",
                             "subscribe",     "subscribeFilter", "unsubscribe", "cancelReplies"};
    const LogLine refused = {ETWLogging::LOG_LEVEL_ERROR, L"MessageBusShimImpl",
                             L"Corvane::MessageBusShimImpl::MessageBusShimImpl",
                             L"Invalid message bus functions object. Throwing ModuleException."};
    for (int entry = 0; entry < 8; ++entry) {
        bus.reset();
        bus.nullEntry = entry;
        try {
            MessageBusLib binding(boundLibrary());
            ADD_FAILURE() << "no exception without " << entries[entry];
        } catch (const ModuleException& error) {
            EXPECT_STREQ("Invalid message bus functions object", error.what()) << entries[entry];
        }
        EXPECT_EQ(Lines{refused}, bindingLines()) << entries[entry];
        EXPECT_EQ(Calls{createObject()}, bus.calls) << entries[entry];
        EXPECT_TRUE(watchedLibrary.expired()) << entries[entry];
        EXPECT_FALSE(isMapped()) << entries[entry];
    }
}

TEST_F(MessageBusLibTest, AnInjectedShimGetsEveryCallWhileTheBindingKeepsItsOwnHandle) {
    const BusHandle shimHandle = reinterpret_cast<BusHandle>(0x5117);
    ReplyFunction replies;
    MessageHandler handler;
    {
        MessageBusLib binding(boundLibrary(), std::make_shared<MessageBusShimImpl>(shimHandle, bus.table()));
        EXPECT_EQ(MODULE_STATUS_PARTIAL_SUCCESS, binding.publish(message));
        EXPECT_EQ(MODULE_STATUS_NO_SUBSCRIBERS, binding.request(message, 41, &replies, 5000));
        EXPECT_EQ(MODULE_STATUS_INVALID_STATE, binding.cancelReplies());
        EXPECT_EQ(7u, binding.subscribe(L"Analytics.v1.AddRecord", &handler));
        EXPECT_EQ(8u, binding.subscribeFilter(L"Analytics.*", &handler));
        EXPECT_EQ(MODULE_STATUS_NOT_FOUND, binding.unsubscribe(7));
    }
    const Call published =
        Call::of("publish", shimHandle)
            .withMessage(&message->getHeader(), L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", L"{}");
    Call requested = published;
    requested.entry = "request";
    requested.index = 41;
    requested.context = &replies;
    requested.replyCallback = MessageBusShimImpl::onBusReply;
    requested.timeLimit = 5000;
    Call unsubscribed = Call::of("unsubscribe", shimHandle);
    unsubscribed.id = 7;
    const Calls expected = {
        createObject(),
        Call::of("acquireHandle", nullptr),
        published,
        requested,
        cancelReplies(shimHandle),
        Call::of("subscribe", shimHandle)
            .withSubscription(&handler, MessageBusShimImpl::onBusMessage, L"Analytics.v1.AddRecord"),
        Call::of("subscribeFilter", shimHandle)
            .withSubscription(&handler, MessageBusShimImpl::onBusMessage, L"Analytics.*"),
        unsubscribed,
        cancelReplies(shimHandle), // the injected shim goes first
        Call::of("releaseHandle", ownHandle),
    };
    EXPECT_EQ(expected, bus.calls);
    EXPECT_FALSE(isMapped());
}

TEST_F(MessageBusLibTest, AFailedReleaseIsAWarningAndTheLibraryIsStillUnloaded) {
    bus.releaseStatus = MODULE_STATUS_UNSUCCESSFUL;
    {
        MessageBusLib binding(boundLibrary());
        log.clear();
    }
    const Lines expected = {
        {ETWLogging::LOG_LEVEL_WARNING, L"MessageBusLib", L"Corvane::MessageBusLib::~MessageBusLib",
         L"Failed to release message bus. Error code MODULE_STATUS_UNSUCCESSFUL(2147483650)."}};
    EXPECT_EQ(expected, logLinesOf(log));
    EXPECT_TRUE(watchedLibrary.expired());
    EXPECT_FALSE(isMapped());
}

TEST(MessageBusLibraryInfo, NamesTheBusLibraryBesideTheHostThenInTheInstallFolder) {
    EXPECT_EQ(L"EventRelay.dll", messageBusLibraryInfo.name);
    EXPECT_EQ((std::vector<std::wstring>{L"$(App.Folder)", L"$(Tamrok.InstallDir)"}),
              messageBusLibraryInfo.searchPaths);
}

} // namespace
