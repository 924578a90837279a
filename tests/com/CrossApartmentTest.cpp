#include <gtest/gtest.h>

#include <string>

#include <objbase.h>

#include "AnalyticsAPI.h"
#include "BstrArgument.h"
#include "utils/ComApartment.h"
#include "RegisteredServer.h"
#include "StaObjectThread.h"
#include "utils/ComPtr.h"

using Vornix::ComApartment;

using namespace PelmoraTests;
using Corvane::Com::ComPtr;

namespace {

class CrossApartment : public RegisteredServer {};

// The object lives in an STA; the test thread calls it from the MTA, which COM can only do
// through the proxy/stub registered from the DLL.
TEST_F(CrossApartment, MtaCallsReachTheStaObjectThroughTheProxyStub) {
    const ComApartment apartment(COINIT_MULTITHREADED);
    ASSERT_EQ(S_OK, apartment.result());
    StaObjectThread sta;
    HRESULT unmarshalled = E_FAIL;
    ComPtr<IUnknown> proxy;
    *proxy.put() = sta.unmarshal(unmarshalled);
    ASSERT_EQ(S_OK, unmarshalled);

    ComPtr<IClientSecurity> proxyOnly;
    EXPECT_EQ(S_OK, proxy->QueryInterface(IID_IClientSecurity, proxyOnly.putVoid()));
    ComPtr<IHxClientAnalytics> analytics;
    ASSERT_EQ(S_OK, proxy->QueryInterface(IID_IHxClientAnalytics, analytics.putVoid()));

    const auto event = makeBstr(validEvent);
    const auto empty = makeBstr(L"");
    const auto nulFirst = makeBstr(std::wstring(L"\0x", 2));
    EXPECT_EQ(S_OK, analytics->ReportEventData(nullptr, event.get(), nullptr));
    EXPECT_EQ(S_OK, analytics->ReportEventData(event.get(), nulFirst.get(), event.get()));
    EXPECT_EQ(E_INVALIDARG, analytics->ReportEventData(event.get(), empty.get(), event.get()));
    EXPECT_EQ(E_INVALIDARG, analytics->ReportEventData(event.get(), nullptr, event.get()));
    EXPECT_EQ(E_NOTIMPL, analytics->ReportLogData(event.get(), event.get(), event.get(), event.get(),
                                                  event.get(), nullptr));
}

} // namespace
