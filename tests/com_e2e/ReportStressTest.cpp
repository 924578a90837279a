// Many threads of the multithreaded apartment report through one object of the registered
// DLL at once: every record reaches the message log exactly once, and no handle is left over.

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <objbase.h>

#include "AnalyticsAPI.h"
#include "utils/ComApartment.h"
#include "MessageLogFile.h"
#include "NativeThread.h"
#include "OpenHandleCount.h"
#include "RegisteredServer.h"
#include "ReportCalls.h"
#include "bus/BusLibraryPlacement.h"
#include "utils/ComPtr.h"

using Vornix::ComApartment;

using namespace PelmoraTests;
using Corvane::Com::ComPtr;

namespace {

constexpr int threadCount = 8;
constexpr int reportsEach = 200;

std::wstring eventOf(const std::wstring& uniqueId) {
    return L"{\"UniqueId\":\"" + uniqueId + L"\",\"Type\":\"Stress\"}";
}

std::wstring recordOf(const std::wstring& uniqueId) {
    return L"{\"type\":\"Stress\",\"unique_id\":\"" + uniqueId + L"\",\"data\":[{\"UniqueId\":\"" + uniqueId +
           L"\"},{\"Type\":\"Stress\"}]}";
}

// What the process reports, and what the system's handle table holds for it.
std::pair<DWORD, DWORD> handleCounts() {
    DWORD reported = 0;
    EXPECT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &reported));
    return {reported, openHandleCount()};
}

std::vector<std::wstring> uniqueIdsOf(int thread) {
    std::vector<std::wstring> ids;
    for (int index = 0; index < reportsEach; ++index) {
        ids.push_back(L"s" + std::to_wstring(thread) + L"-" + std::to_wstring(index));
    }
    return ids;
}

// A thread that joins the object's apartment, so that it calls the object directly, and
// reports an event for each identifier.
std::unique_ptr<NativeThread> reporter(IHxClientAnalytics& analytics, std::vector<std::wstring> uniqueIds,
                                       std::atomic<int>& failures) {
    return std::make_unique<NativeThread>([&analytics, &failures, uniqueIds = std::move(uniqueIds)] {
        const ComApartment apartment(COINIT_MULTITHREADED);
        for (const std::wstring& uniqueId : uniqueIds) {
            if (FAILED(apartment.result()) || reportThroughInterface(analytics, eventOf(uniqueId)) != S_OK) {
                ++failures;
            }
        }
    });
}

using ReportStress = RegisteredServer;

TEST_F(ReportStress, EveryRecordOfManyThreadsIsLoggedOnceAndNoHandleIsLeft) {
    const ComApartment apartment(COINIT_MULTITHREADED);
    const MessageLogFile log;
    const BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());
    ComPtr<IHxClientAnalytics> analytics;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_AnalyticsAPI, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IHxClientAnalytics, analytics.putVoid()));
    std::atomic<int> failures{0};
    // Whatever the first report and the first thread set up once for the process is no leak.
    reporter(*analytics.get(), {L"warm-up"}, failures)->join();
    ASSERT_EQ(0, failures.load());
    const auto handlesBefore = handleCounts();

    std::vector<std::unique_ptr<NativeThread>> threads;
    for (int thread = 0; thread < threadCount; ++thread) {
        threads.push_back(reporter(*analytics.get(), uniqueIdsOf(thread), failures));
    }
    for (auto& thread : threads) {
        thread->join();
    }

    EXPECT_EQ(handlesBefore, handleCounts());
    EXPECT_EQ(0, failures.load());
    std::map<std::wstring, int> timesLogged;
    int foreign = 0;
    for (const LoggedMessage& message : log.messages()) {
        ++timesLogged[message.payload];
        foreign += publishedRecord(message.payload) != message;
    }
    EXPECT_EQ(0, foreign) << "messages not published as records";
    int missing = 0;
    int repeated = 0;
    for (int thread = 0; thread < threadCount; ++thread) {
        for (const std::wstring& uniqueId : uniqueIdsOf(thread)) {
            const auto found = timesLogged.find(recordOf(uniqueId));
            missing += found == timesLogged.end();
            repeated += found != timesLogged.end() && found->second != 1;
        }
    }
    EXPECT_EQ(0, missing);
    EXPECT_EQ(0, repeated);
    EXPECT_EQ(1u, timesLogged.count(recordOf(L"warm-up")));
    EXPECT_EQ(static_cast<std::size_t>(threadCount * reportsEach + 1), timesLogged.size());
}

} // namespace
