#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "AnalyticsAPI.h"
#include "BstrArgument.h"
#include "Logging/LogLevels.h"
#include "analytics/AnalyticsRecordBuilder.h"
#include "bus/BusLibraryPlacement.h"
#include "com/CPelmoraImpl.h"
#include "com/CPelmoraModule.h"
#include "com/IRecordPublisher.h"
#include "fakes/RecordedCall.h"
#include "support/CapturingLogger.h"
#include "support/ScratchFolder.h"
#include "utils/ComPtr.h"

using namespace PelmoraTests;
using Corvane::Analytics::CPelmoraImpl;
using Corvane::Analytics::IRecordPublisher;
using Corvane::Com::ComPtr;
using Corvane::Com::CPelmoraModule;

namespace {

// The object's own code, linked into this executable: its module lock, the records it
// publishes and its log lines, none of which show from outside the DLL. It publishes through
// the product's bus client to the recording fake bus library, placed where the client looks
// first.
class PelmoraImplObject : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, CPelmoraModule::instance().GetLockCount());
        ASSERT_EQ(S_OK, CPelmoraImpl::CreateInstance(nullptr, IID_IHxClientAnalytics, analytics.putVoid()));
    }

    static std::wstring recordOf(const std::wstring& event) {
        std::wstring record;
        EXPECT_TRUE(Corvane::Analytics::buildAnalyticsRecord(event.c_str(), record));
        return record;
    }

    // The payloads the bus library was handed, in order.
    std::vector<std::wstring> published() const {
        std::vector<std::wstring> records;
        for (const RecordedCall& call : RecordedCall::readFile(calls)) {
            if (call.entry() == "publish") {
                records.push_back(call.textOf("payload").value_or(L""));
            }
        }
        return records;
    }

    ScratchFolder scratch;
    const std::wstring calls = scratch.pathOf(L"calls.txt");
    const ScopedEnvironment recording{L"FAKE_BUS_RECORD", calls};
    const BusLibraryPlacement placed{BusLibraryPlacement::fakeBus(L"recording")};
    CapturingLogger& log = InstallCapturingLogger();
    ComPtr<IHxClientAnalytics> analytics;
};

TEST_F(PelmoraImplObject, LocksTheModuleWhileItLives) {
    EXPECT_EQ(1, CPelmoraModule::instance().GetLockCount());
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, analytics->QueryInterface(IID_IDispatch, dispatch.putVoid()));
    analytics.reset();
    EXPECT_EQ(1, CPelmoraModule::instance().GetLockCount());

    dispatch.reset();
    EXPECT_EQ(0, CPelmoraModule::instance().GetLockCount());
}

TEST_F(PelmoraImplObject, FailedCreationLeavesNothingLocked) {
    void* object = this;
    EXPECT_EQ(E_NOINTERFACE, CPelmoraImpl::CreateInstance(nullptr, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
    object = this;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CPelmoraImpl::CreateInstance(analytics.get(), IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(1, CPelmoraModule::instance().GetLockCount());
}

TEST_F(PelmoraImplObject, PublishesTheRecordOfTheEventQuietly) {
    const auto event = makeBstr(validEvent);

    EXPECT_EQ(S_OK, analytics->ReportEventData(nullptr, event.get(), nullptr));

    EXPECT_EQ(std::vector<std::wstring>{recordOf(validEvent)}, published());
    // Only the bus client's progress lines: nothing from the object, nothing that went wrong.
    for (const LogEntry& entry : log.entries()) {
        EXPECT_NE(L"com\\CPelmoraImpl", entry.file) << testing::PrintToString(entry.text);
        EXPECT_EQ(ETWLogging::LOG_LEVEL_NORMAL, entry.level) << testing::PrintToString(entry.text);
    }
}

TEST_F(PelmoraImplObject, InvokePublishesTheEventOfTheMiddleArgument) {
    const std::wstring otherEvent = L"{\"UniqueId\":\"other\",\"Tracker.Type\":\"Other\"}";
    const auto middle = makeBstr(validEvent);
    const auto other = makeBstr(otherEvent);
    VARIANT arguments[4];
    for (VARIANT& argument : arguments) {
        V_VT(&argument) = VT_BSTR;
        V_BSTR(&argument) = other.get();
    }
    V_BSTR(&arguments[1]) = middle.get();
    DISPPARAMS parameters{arguments, nullptr, 4, 0};
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, analytics->QueryInterface(IID_IDispatch, dispatch.putVoid()));

    EXPECT_EQ(S_OK, dispatch->Invoke(CPelmoraImpl::reportEventDataId, IID_NULL, 0, DISPATCH_METHOD,
                                     &parameters, nullptr, nullptr, nullptr));

    EXPECT_EQ(std::vector<std::wstring>{recordOf(validEvent)}, published());
}

TEST_F(PelmoraImplObject, EventWithoutRecordPublishesNothingAndWarnsOnce) {
    const std::vector<std::wstring> events = {L"not json", L"{\"Type\":\"Launch\"}",
                                              std::wstring(L"\0{}", 3)};
    for (const auto& text : events) {
        log.clear();
        const auto event = makeBstr(text);

        EXPECT_EQ(S_OK, analytics->ReportEventData(nullptr, event.get(), nullptr));

        const auto entries = log.entries();
        ASSERT_EQ(1u, entries.size());
        EXPECT_EQ(2u, entries[0].level);
        EXPECT_EQ(L"com\\CPelmoraImpl", entries[0].file);
        EXPECT_EQ(L"Corvane::Analytics::CPelmoraImpl::ReportEventData", entries[0].function);
        EXPECT_EQ(L"The event text yields no analytics record; nothing is published.", entries[0].text);
    }
    EXPECT_TRUE(published().empty());
}

// A publisher that fails the way only running out of memory makes the real one fail.
class FailingPublisher : public IRecordPublisher {
public:
    explicit FailingPublisher(std::function<HRESULT()> failure) : failure_(std::move(failure)) {}
    HRESULT publish(const std::wstring&) override { return failure_(); }

private:
    std::function<HRESULT()> failure_;
};

TEST_F(PelmoraImplObject, RunningOutOfMemoryIsReported) {
    const struct {
        const char* what;
        std::function<HRESULT()> failure;
    } cases[] = {
        {"throws", []() -> HRESULT { throw std::bad_alloc(); }},
        {"returns E_OUTOFMEMORY", [] { return E_OUTOFMEMORY; }},
    };
    const auto event = makeBstr(validEvent);
    for (const auto& c : cases) {
        ComPtr<IHxClientAnalytics> failing;
        ASSERT_EQ(S_OK, CPelmoraImpl::CreateInstance(nullptr, IID_IHxClientAnalytics, failing.putVoid(),
                                                     std::make_shared<FailingPublisher>(c.failure)));
        EXPECT_EQ(E_OUTOFMEMORY, failing->ReportEventData(nullptr, event.get(), nullptr)) << c.what;
    }
}

} // namespace
