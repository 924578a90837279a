// Hosts that let COM free unused libraries load and unload Pelmora.dll again and again. A
// process has only about 1,088 TLS indexes, so every unload must give back what the load took.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <objbase.h>

#include "AnalyticsAPI.h"
#include "FreeTlsIndexes.h"
#include "MessageLogFile.h"
#include "PelmoraDll.h"
#include "RegisteredServer.h"
#include "ReportCalls.h"
#include "bus/BusLibraryPlacement.h"
#include "utils/ComPtr.h"
#include "utils/ComApartment.h"

using namespace PelmoraTests;
using Corvane::Com::ComPtr;
using Vornix::ComApartment;

namespace {

const std::wstring event = L"{\"UniqueId\":\"u1\",\"Type\":\"t1\"}";
const std::wstring record =
    L"{\"type\":\"t1\",\"unique_id\":\"u1\",\"data\":[{\"UniqueId\":\"u1\"},{\"Type\":\"t1\"}]}";

bool pelmoraMapped() {
    return GetModuleHandleW(PelmoraDll::defaultPath().c_str()) != nullptr;
}

// Loads the DLL, reports one event through a fresh object and unloads the DLL again.
HRESULT reportThroughFreshLoad() {
    const PelmoraDll dll;
    ComPtr<IClassFactory> factory;
    HRESULT result = dll.getClassObject(CLSID_AnalyticsAPI, IID_IClassFactory, factory.putVoid());
    if (FAILED(result)) {
        return result;
    }
    ComPtr<IHxClientAnalytics> analytics;
    result = factory->CreateInstance(nullptr, IID_IHxClientAnalytics, analytics.putVoid());
    return FAILED(result) ? result : reportThroughInterface(*analytics.get(), event);
}

TEST(Reloading, TwoThousandLoadsKeepNoTlsIndexAndTheDllStillReports) {
    const ComApartment apartment(COINIT_APARTMENTTHREADED);
    const MessageLogFile log;
    const BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());
    ASSERT_FALSE(pelmoraMapped()) << "held by someone else, the DLL would not really be reloaded";
    // The first report also takes what the process keeps for good (COM, RPC).
    ASSERT_EQ(S_OK, reportThroughFreshLoad());
    const int freeBefore = freeTlsIndexes();

    int stillMapped = 0;
    for (int i = 0; i < 2000; ++i) {
        { const PelmoraDll dll; }
        stillMapped += pelmoraMapped() ? 1 : 0;
    }
    EXPECT_EQ(S_OK, reportThroughFreshLoad());

    EXPECT_EQ(0, stillMapped);
    EXPECT_FALSE(pelmoraMapped());
    EXPECT_EQ(freeBefore, freeTlsIndexes());
    EXPECT_EQ(std::vector<LoggedMessage>(2, publishedRecord(record)), log.messages());
}

// What an idle host does: create, release, and let COM free the library at once.
class ComReloading : public RegisteredServer {};

TEST_F(ComReloading, CreateReleaseAndFreeUnusedLibrariesKeepNoTlsIndex) {
    const ComApartment apartment(COINIT_APARTMENTTHREADED);
    const auto cycle = [] {
        ComPtr<IHxClientAnalytics> analytics;
        const HRESULT result = CoCreateInstance(CLSID_AnalyticsAPI, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IHxClientAnalytics, analytics.putVoid());
        analytics.reset();
        CoFreeUnusedLibrariesEx(0, 0);
        return result;
    };
    ASSERT_EQ(S_OK, cycle());
    ASSERT_FALSE(pelmoraMapped()) << "COM did not free the library";
    const int freeBefore = freeTlsIndexes();

    int failed = 0;
    for (int i = 0; i < 1300; ++i) {
        failed += cycle() == S_OK && !pelmoraMapped() ? 0 : 1;
    }

    EXPECT_EQ(0, failed);
    EXPECT_EQ(freeBefore, freeTlsIndexes());
}

} // namespace
