#include "Logging/CETWLogging.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "Logging/LogLevels.h"
#include "Logging/TraceLibraryInfo.h"
#include "Logging/TracePayload.h"

namespace {

using namespace ETWLogging;
using Bytes = std::vector<BYTE>;

// Plays the trace system: records every call and each event's header and payload bytes. A
// session is identified by the address of its control buffer.
class FakeTraceApi : public TraceApi {
public:
    struct Event {
        TRACEHANDLE session;
        Bytes header;
        Bytes payload;
    };

    ULONG RegisterTraceGuids(WMIDPREQUEST callback, void* context, const GUID* controlId, ULONG count,
                             TRACE_GUID_REGISTRATION* classes, TRACEHANDLE* registration) override {
        ++registerCalls;
        this->callback = callback;
        this->context = context;
        providerId = *controlId;
        classCount = count;
        classId = *classes[0].Guid;
        *registration = registerResult == 0 ? registrationHandle : 0;
        return registerResult;
    }
    ULONG UnregisterTraceGuids(TRACEHANDLE registration) override {
        unregistered.push_back(registration);
        return 0;
    }
    TRACEHANDLE GetTraceLoggerHandle(void* buffer) override {
        if (buffer == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
            return static_cast<TRACEHANDLE>(-1);
        }
        return reinterpret_cast<TRACEHANDLE>(buffer);
    }
    UCHAR GetTraceEnableLevel(TRACEHANDLE session) override {
        SetLastError(ERROR_INVALID_DATA);
        return levels[session];
    }
    ULONG GetTraceEnableFlags(TRACEHANDLE /*session*/) override { return 0; }
    ULONG TraceEvent(TRACEHANDLE session, EVENT_TRACE_HEADER* header) override {
        const auto* bytes = reinterpret_cast<const BYTE*>(header);
        const auto* data = reinterpret_cast<const MOF_FIELD*>(header + 1);
        const auto* payload = reinterpret_cast<const BYTE*>(data->DataPtr);
        events.push_back({session, Bytes(bytes, bytes + 64), Bytes(payload, payload + data->Length)});
        return session == 0 ? ERROR_INVALID_HANDLE : 0;
    }

    // Sends a control request the way the trace system does.
    ULONG Control(DWORD code, void* buffer) {
        ULONG size = 0;
        return callback(static_cast<WMIDPREQUESTCODE>(code), context, &size, buffer);
    }

    ULONG registerResult = 0;
    TRACEHANDLE registrationHandle = 0x42;
    int registerCalls = 0;
    WMIDPREQUEST callback = nullptr;
    void* context = nullptr;
    GUID providerId{};
    ULONG classCount = 0;
    GUID classId{};
    std::vector<TRACEHANDLE> unregistered;
    std::map<TRACEHANDLE, UCHAR> levels;
    std::vector<Event> events;
};

class CETWLoggingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0u, logger->InitEx(nullptr, L"G", nullptr, L"H", nullptr));
        ASSERT_EQ(0u, logger->Prepare());
    }

    // A session whose control buffer is one of these bytes.
    void* Session(int index, UCHAR level) {
        void* buffer = &sessionBuffers[index];
        api->levels[reinterpret_cast<TRACEHANDLE>(buffer)] = level;
        return buffer;
    }

    std::vector<DWORD> LevelsThatPass() {
        api->events.clear();
        std::vector<DWORD> passed;
        for (DWORD level = 0; level <= 7; ++level) {
            const size_t before = api->events.size();
            logger->LogEx(level, L"f.cpp", L"F", 1, L"m");
            if (api->events.size() != before) {
                passed.push_back(level);
            }
        }
        return passed;
    }

    std::shared_ptr<FakeTraceApi> api = std::make_shared<FakeTraceApi>();
    std::unique_ptr<CETWLogging> logger = std::make_unique<CETWLogging>(api);
    char sessionBuffers[4] = {};
};

TEST_F(CETWLoggingTest, RegistersTheProviderWithOneEventClassOnTheFirstPrepareOnly) {
    EXPECT_EQ(1, api->registerCalls);
    EXPECT_EQ(0u, logger->Prepare());
    EXPECT_EQ(1, api->registerCalls);
    EXPECT_EQ(CETWLogging::PROVIDER_ID, api->providerId);
    EXPECT_EQ(1u, api->classCount);
    EXPECT_EQ(CETWLogging::EVENT_CLASS_ID, api->classId);
    EXPECT_EQ(logger.get(), api->context);
    EXPECT_EQ(LOG_ERROR_ALREADY_INITIALIZED, logger->InitEx(nullptr, L"G", nullptr, L"H", nullptr));
}

TEST(CETWLogging, AFailedRegistrationIsReturnedOnceAndNotRetried) {
    auto api = std::make_shared<FakeTraceApi>();
    api->registerResult = ERROR_ACCESS_DENIED;
    CETWLogging logger(api);
    ASSERT_EQ(0u, logger.InitEx(nullptr, L"G", nullptr, L"H", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), logger.Prepare());
    EXPECT_EQ(0u, logger.Prepare());
    EXPECT_EQ(1, api->registerCalls);
    logger.LogEx(3, L"f", L"F", 1, L"m");
    ASSERT_EQ(1u, api->events.size());
    EXPECT_EQ(0u, api->events[0].session);
}

TEST(CETWLogging, InitExChecksGroupAndHostAndBuildsTheComponentPath) {
    const struct {
        const wchar_t* group;
        const wchar_t* host;
        DWORD result;
        const wchar_t* storedGroup;
        const wchar_t* componentPath;
    } cases[] = {
        {L"G", L"H", 0, L"G", L"G\\logging_tests"},
        {nullptr, L"H", 0, L"", L"\\logging_tests"},
        {L"G", nullptr, 0, L"G", L"G\\logging_tests"},
        {L"", L"H", ERROR_INVALID_PARAMETER, L"", L""},
        {L"G", L"", ERROR_INVALID_PARAMETER, L"", L""},
    };
    for (const auto& c : cases) {
        CETWLogging logger(std::make_shared<FakeTraceApi>());
        EXPECT_EQ(c.result, logger.InitEx(nullptr, c.group, nullptr, c.host, nullptr));
        std::wstring group = L"x";
        std::wstring path = L"x";
        logger.GetGroup(group);
        logger.GetComponentPath(path);
        EXPECT_EQ(c.storedGroup, group);
        EXPECT_EQ(c.componentPath, path);
    }
}

TEST_F(CETWLoggingTest, DefaultsLetLevelsThreeToSevenThrough) {
    EXPECT_EQ((std::vector<DWORD>{3, 4, 5, 6, 7}), LevelsThatPass());
}

TEST_F(CETWLoggingTest, TheSessionLevelSetsTheThreshold) {
    const struct {
        UCHAR level;
        std::vector<DWORD> passing;
    } cases[] = {
        {5, {3, 5, 6, 7}},
        {1, {1, 2, 3, 4, 5, 6, 7}},
        {6, {3, 6, 7}},
        {9, {3, 6, 7}},
    };
    for (const auto& c : cases) {
        void* session = Session(0, c.level);
        ASSERT_EQ(0u, api->Control(CETWLogging::REQUEST_ENABLE, session));
        EXPECT_EQ(c.passing, LevelsThatPass()) << int(c.level);
        ASSERT_EQ(0u, api->Control(CETWLogging::REQUEST_DISABLE, session));
    }
}

TEST_F(CETWLoggingTest, LevelsAboveFiveAreSentWithClassLevelThree) {
    ASSERT_EQ(0u, api->Control(CETWLogging::REQUEST_ENABLE, Session(0, 1)));
    const struct {
        DWORD level;
        BYTE classLevel;
    } cases[] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 3}, {7, 3}};
    for (const auto& c : cases) {
        api->events.clear();
        logger->LogEx(c.level, L"f", L"F", 1, L"m");
        ASSERT_EQ(1u, api->events.size());
        EXPECT_EQ(c.classLevel, api->events[0].header[5]) << c.level;
    }
}

TEST_F(CETWLoggingTest, EachMessageIsOneEventWithTheClassicHeaderAndTheRecord) {
    void* session = Session(1, 4);
    ASSERT_EQ(0u, api->Control(CETWLogging::REQUEST_ENABLE, session));
    EXPECT_EQ(0u, logger->LogEx(4, L"src\\a.cpp", L"Fn", 123, L"hello %d"));
    ASSERT_EQ(1u, api->events.size());
    const auto& event = api->events[0];
    EXPECT_EQ(reinterpret_cast<TRACEHANDLE>(session), event.session);
    const Bytes expectedHeader = {
        64, 0, 0, 0,            // size, header type and marker
        1, 4, 1, 0,             // class type, level and version
        0, 0, 0, 0, 0, 0, 0, 0, // thread and process
        0, 0, 0, 0, 0, 0, 0, 0, // time stamp
        0xD0, 0xAA, 0x1D, 0xCD, 0xCC, 0x54, 0xE0, 0x11, 0xB8, 0xAF, 0x08, 0x00, 0x20, 0x0C, 0x9A, 0x66,
        0, 0, 0, 0,             // client context
        0, 0, 0x12, 0,          // flags: traced class id, data by pointer
    };
    EXPECT_EQ(expectedHeader, Bytes(event.header.begin(), event.header.begin() + 48));
    MOF_FIELD data{};
    std::memcpy(&data, event.header.data() + 48, sizeof data);
    EXPECT_NE(0u, data.DataPtr);
    EXPECT_EQ(event.payload.size(), data.Length);
    EXPECT_EQ(0u, data.DataType);

    TraceRecord record;
    record.processId = static_cast<int>(GetCurrentProcessId());
    record.threadId = static_cast<int>(GetCurrentThreadId());
    record.processName = L"logging_tests.exe";
    record.sourceFile = L"src\\a.cpp";
    record.line = 123;
    record.function = L"Fn";
    record.libraryFileName = TraceLibraryInfo::Get().fileName();
    record.libraryVersion = TraceLibraryInfo::Get().version();
    record.group = L"G";
    record.messageText = L"hello %d";
    Bytes expectedPayload;
    ASSERT_EQ(0u, TracePayload::Serialize(record, expectedPayload));
    EXPECT_EQ(expectedPayload, event.payload);
    EXPECT_EQ(L"logging_tests.exe", record.libraryFileName);
}

TEST_F(CETWLoggingTest, MessagesAreCutTo2079Characters) {
    const struct {
        size_t length;
        size_t sent;
    } cases[] = {{3000, 2079}, {2079, 2079}, {5, 5}};
    for (const auto& c : cases) {
        api->events.clear();
        std::wstring message(c.length, L'a');
        message[0] = L'b';
        logger->LogEx(3, L"f", L"F", 1, message.c_str());
        ASSERT_EQ(1u, api->events.size());
        TraceRecord record;
        logger->FillRecord(L"f", L"F", 1, record);
        record.messageText = message.substr(0, c.sent);
        Bytes expected;
        ASSERT_EQ(0u, TracePayload::Serialize(record, expected));
        EXPECT_EQ(expected, api->events[0].payload) << c.length;
    }
}

TEST_F(CETWLoggingTest, OnlyTheRecordedSessionOwnsTheProviderButAnyDisableSwitchesItOff) {
    void* first = Session(0, 4);
    void* second = Session(1, 1);
    const auto firstHandle = reinterpret_cast<TRACEHANDLE>(first);
    const auto secondHandle = reinterpret_cast<TRACEHANDLE>(second);
    ASSERT_EQ(0u, api->Control(CETWLogging::REQUEST_ENABLE, first));
    EXPECT_TRUE(logger->IsOwnSession(firstHandle));
    EXPECT_EQ(0u, api->Control(CETWLogging::REQUEST_ENABLE, second));
    EXPECT_TRUE(logger->IsOwnSession(firstHandle));
    EXPECT_EQ(4u, logger->GetSeverity());
    EXPECT_EQ(0u, api->Control(CETWLogging::REQUEST_DISABLE, second));
    EXPECT_FALSE(logger->IsEnabled());
    EXPECT_TRUE(logger->IsOwnSession(firstHandle));
    EXPECT_EQ(0u, api->Control(CETWLogging::REQUEST_DISABLE, first));
    EXPECT_TRUE(logger->IsOwnSession(0));
    EXPECT_EQ(0u, api->Control(CETWLogging::REQUEST_ENABLE, second));
    EXPECT_TRUE(logger->IsOwnSession(secondHandle));
    EXPECT_TRUE(logger->IsEnabled());
    EXPECT_EQ(1u, logger->GetSeverity());
}

TEST_F(CETWLoggingTest, ControlRequestsThatCannotBeServedReturnAnError) {
    const struct {
        DWORD code;
        void* buffer;
        ULONG result;
    } cases[] = {
        {CETWLogging::REQUEST_ENABLE, nullptr, ERROR_INVALID_HANDLE},
        {CETWLogging::REQUEST_ENABLE, Session(2, 0), ERROR_INVALID_DATA},
        {3, Session(3, 4), ERROR_INVALID_PARAMETER},
        {6, Session(3, 4), ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, api->Control(c.code, c.buffer)) << c.code;
    }
    ULONG size = 0;
    EXPECT_EQ(static_cast<ULONG>(ERROR_INVALID_PARAMETER),
              api->callback(WMI_ENABLE_EVENTS, nullptr, &size, Session(0, 4)));
}

TEST_F(CETWLoggingTest, SeverityIsClampedToOneToSix) {
    const struct {
        DWORD set;
        DWORD stored;
    } cases[] = {{0, 1}, {1, 1}, {4, 4}, {6, 6}, {7, 6}, {1000, 6}};
    for (const auto& c : cases) {
        logger->SetSeverity(c.set);
        EXPECT_EQ(c.stored, logger->GetSeverity()) << c.set;
    }
}

TEST_F(CETWLoggingTest, UninitUnregistersAndSwitchesOff) {
    EXPECT_EQ(0u, logger->Uninit());
    EXPECT_EQ(std::vector<TRACEHANDLE>{0x42}, api->unregistered);
    EXPECT_FALSE(logger->IsEnabled());
    EXPECT_EQ(0u, logger->Uninit());
    logger.reset();
    EXPECT_EQ(std::vector<TRACEHANDLE>{0x42}, api->unregistered);
}

TEST_F(CETWLoggingTest, DestructionUnregisters) {
    logger.reset();
    EXPECT_EQ(std::vector<TRACEHANDLE>{0x42}, api->unregistered);
}

TEST(CETWLogging, UninitBeforeRegistrationDoesNothing) {
    auto api = std::make_shared<FakeTraceApi>();
    {
        CETWLogging logger(api);
        EXPECT_EQ(0u, logger.Uninit());
        EXPECT_TRUE(logger.IsEnabled());
    }
    EXPECT_TRUE(api->unregistered.empty());
}

TEST(CETWLogging, TheRealTraceSystemTakesTheProviderWithoutErrors) {
    CETWLogging logger;
    ASSERT_EQ(0u, logger.InitEx(nullptr, L"G", nullptr, L"H", nullptr));
    EXPECT_EQ(0u, logger.Prepare());
    EXPECT_EQ(0u, logger.Log(L"f.cpp", L"F", 1, 3, L"no session"));
    EXPECT_EQ(0u, logger.LogEx(3, L"f.cpp", L"F", 1, L"no session"));
    EXPECT_EQ(0u, logger.Uninit());
}

} // namespace
