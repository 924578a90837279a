#include "ReportCalls.h"

#include <oleauto.h>

#include "BstrArgument.h"
#include "utils/ComPtr.h"

namespace PelmoraTests {

using Corvane::Com::ComPtr;

HRESULT reportThroughInterface(IHxClientAnalytics& analytics, const std::wstring& event) {
    const auto configuration = makeBstr(L"");
    const auto text = makeBstr(event);
    const auto datasets = makeBstr(L"");
    return analytics.ReportEventData(configuration.get(), text.get(), datasets.get());
}

HRESULT reportThroughDispatch(IHxClientAnalytics& analytics, const std::wstring& event) {
    ComPtr<IDispatch> dispatch;
    if (const HRESULT result = analytics.QueryInterface(IID_IDispatch, dispatch.putVoid()); FAILED(result)) {
        return result;
    }
    std::wstring name = L"ReportEventData";
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    if (const HRESULT result = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        FAILED(result)) {
        return result;
    }
    const auto configuration = makeBstr(L"");
    const auto text = makeBstr(event);
    const auto datasets = makeBstr(L"");
    // Invoke's arguments come last to first; with three, the event is the middle one either way.
    VARIANT arguments[3];
    const BSTR values[3] = {datasets.get(), text.get(), configuration.get()};
    for (int index = 0; index < 3; ++index) {
        V_VT(&arguments[index]) = VT_BSTR;
        V_BSTR(&arguments[index]) = values[index];
    }
    DISPPARAMS parameters{arguments, nullptr, 3, 0};
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                            nullptr);
}

LoggedMessage publishedRecord(const std::wstring& record) {
    return {L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", record};
}

} // namespace PelmoraTests
