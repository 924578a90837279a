// The object's own code linked into this executable and made through its module's class
// factory: only here do its log lines show, in this process's logger holder (the DLL's holder
// is its own).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <objbase.h>

#include "AnalyticsAPI.h"
#include "utils/ComApartment.h"
#include "MessageLogFile.h"
#include "ReportCalls.h"
#include "bus/BusLibraryPlacement.h"
#include "com/CPelmoraModule.h"
#include "utils/ComPtr.h"
#include "support/CapturingLogger.h"

using Vornix::ComApartment;

using namespace PelmoraTests;
using Corvane::Com::ComPtr;

namespace {

const std::wstring noClientLine =
    L"Failed to create message bus client. Caught ModuleException - what: Failed to load library.";

TEST(InProcessReport, WithoutABusLibraryTheReportSucceedsAndLogsWhyNoClientWasMade) {
    CapturingLogger& logger = InstallCapturingLogger();
    const ComApartment apartment(COINIT_APARTMENTTHREADED);
    const MessageLogFile messages;
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((BusLibraryPlacement::executableFolder() + L"EventRelay.dll").c_str()));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, Corvane::Com::CPelmoraModule::instance().DllGetClassObject(
                        CLSID_AnalyticsAPI, IID_IClassFactory, factory.putVoid()));
    ComPtr<IHxClientAnalytics> analytics;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IHxClientAnalytics, analytics.putVoid()));

    EXPECT_EQ(S_OK, reportThroughInterface(*analytics.get(), L"{\"UniqueId\":\"u1\",\"Type\":\"t1\"}"));

    const auto entries = logger.entries();
    const auto line = std::find_if(entries.begin(), entries.end(),
                                   [](const LogEntry& entry) { return entry.text == noClientLine; });
    ASSERT_NE(entries.end(), line) << testing::PrintToString(logger.texts());
    EXPECT_EQ(4u, line->level);
    EXPECT_EQ(L"Corvane::MessageBusClient::getInstance", line->function);
    EXPECT_EQ(1, std::count_if(entries.begin(), entries.end(),
                               [](const LogEntry& entry) { return entry.text == noClientLine; }));
    EXPECT_TRUE(messages.messages().empty());
}

} // namespace
