#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnalyticsAPI.h"
#include "BstrArgument.h"
#include "PublishedRecords.h"
#include "analytics/AnalyticsRecordBuilder.h"
#include "com/CPelmoraImpl.h"
#include "com/CPelmoraModule.h"
#include "utils/ComPtr.h"
#include "support/CapturingLogger.h"

using namespace PelmoraTests;
using Corvane::Analytics::CPelmoraImpl;
using Corvane::Com::ComPtr;
using Corvane::Com::CPelmoraModule;

namespace {

// The object's own code, linked into this executable: its module lock, the records it hands to
// publishRecord and its log lines, none of which show from outside the DLL.
class PelmoraImplObject : public testing::Test {
protected:
    void SetUp() override {
        PublishedRecords::instance().reset();
        ASSERT_EQ(0, CPelmoraModule::instance().GetLockCount());
        ASSERT_EQ(S_OK, CPelmoraImpl::CreateInstance(nullptr, IID_IHxClientAnalytics, analytics.putVoid()));
    }
    void TearDown() override { PublishedRecords::instance().reset(); }

    static std::wstring recordOf(const std::wstring& event) {
        std::wstring record;
        EXPECT_TRUE(Corvane::Analytics::buildAnalyticsRecord(event.c_str(), record));
        return record;
    }

    const std::vector<std::wstring>& published() const { return PublishedRecords::instance().records(); }

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
    EXPECT_TRUE(log.entries().empty());
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

TEST_F(PelmoraImplObject, RunningOutOfMemoryIsReported) {
    const auto event = makeBstr(validEvent);
    for (auto outcome : {PublishedRecords::Outcome::Throws, PublishedRecords::Outcome::OutOfMemory}) {
        PublishedRecords::instance().setOutcome(outcome);
        EXPECT_EQ(E_OUTOFMEMORY, analytics->ReportEventData(nullptr, event.get(), nullptr));
    }
}

} // namespace
