// Reports through the registered Pelmora.dll, created with CoCreateInstance as clients do,
// reach the development bus's message log.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <objbase.h>

#include "AnalyticsAPI.h"
#include "utils/ComApartment.h"
#include "MessageLogFile.h"
#include "RegisteredServer.h"
#include "ReportCalls.h"
#include "bus/BusLibraryPlacement.h"
#include "utils/ComPtr.h"

using Vornix::ComApartment;

using namespace PelmoraTests;
using Corvane::Com::ComPtr;

namespace {

const std::wstring event = L"{\"UniqueId\":\"u1\",\"Type\":\"t1\",\"a\":\"1\",\"i\":\"2\"}";
const std::wstring record = L"{\"type\":\"t1\",\"unique_id\":\"u1\",\"data\":[{\"UniqueId\":\"u1\"},{"
                            L"\"Type\":\"t1\"},{\"i\":\"2\"},{\"a\":\"1\"}]}";

struct ReportWay {
    const char* name;
    ReportCall report;
};

class ReportThroughCom : public RegisteredServer, public testing::WithParamInterface<ReportWay> {
protected:
    void SetUp() override {
        RegisteredServer::SetUp();
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_AnalyticsAPI, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IHxClientAnalytics, analytics.putVoid()));
    }

    HRESULT report(const std::wstring& text) { return GetParam().report(*analytics.get(), text); }

    ComApartment apartment{COINIT_APARTMENTTHREADED};
    MessageLogFile log;
    ComPtr<IHxClientAnalytics> analytics;
};

TEST_P(ReportThroughCom, TheEventsRecordReachesTheBusOnce) {
    BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());

    EXPECT_EQ(S_OK, report(event));

    EXPECT_EQ(std::vector<LoggedMessage>{publishedRecord(record)}, log.messages());
}

// Text that is no event, an event without an identifier, one without a type; the record that
// follows shows that the bus was there to receive them.
TEST_P(ReportThroughCom, AnEventWithoutARecordPublishesNothing) {
    BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());

    for (const std::wstring& text : {std::wstring(L"not json"), std::wstring(L"{\"Type\":\"t1\"}"),
                                     std::wstring(L"{\"UniqueId\":\"u1\"}")}) {
        EXPECT_EQ(S_OK, report(text)) << testing::PrintToString(text);
    }
    ASSERT_EQ(S_OK, report(event));

    EXPECT_EQ(std::vector<LoggedMessage>{publishedRecord(record)}, log.messages());
}

// Its publish entry is null: a call through it would end this process.
TEST_P(ReportThroughCom, ABusLibraryWithAnIncompleteTableIsRefusedAndTheReportStillSucceeds) {
    {
        BusLibraryPlacement placed(BusLibraryPlacement::fakeBus(L"null-entry"));

        EXPECT_EQ(S_OK, report(event));

        EXPECT_FALSE(BusLibraryPlacement::loaded());
    }
    EXPECT_TRUE(log.messages().empty());
}

TEST_P(ReportThroughCom, WithoutABusLibraryTheReportStillSucceeds) {
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((BusLibraryPlacement::executableFolder() + L"EventRelay.dll").c_str()));

    EXPECT_EQ(S_OK, report(event));

    EXPECT_TRUE(log.messages().empty());
    EXPECT_FALSE(BusLibraryPlacement::loaded());
}

INSTANTIATE_TEST_SUITE_P(Ways, ReportThroughCom,
                         testing::Values(ReportWay{"Interface", reportThroughInterface},
                                         ReportWay{"Dispatch", reportThroughDispatch}),
                         [](const testing::TestParamInfo<ReportWay>& info) { return info.param.name; });

} // namespace
