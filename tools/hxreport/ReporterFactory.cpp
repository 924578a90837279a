#include "ReporterFactory.h"

#include <new>
#include <utility>

#include "AnalyticsAPI.h"
#include "DispatchReporter.h"
#include "InterfaceReporter.h"

namespace hxreport {

using Corvane::Com::ComPtr;

namespace {
template <typename T> CallResult createObject(REFIID interfaceId, ComPtr<T>& object) {
    const HRESULT result =
        CoCreateInstance(CLSID_AnalyticsAPI, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object.putVoid());
    return CallResult{L"CoCreateInstance", result};
}

CallResult adopt(Reporter* created, std::unique_ptr<Reporter>& reporter) {
    if (created == nullptr) {
        return outOfMemory();
    }
    reporter.reset(created);
    return CallResult{L"CoCreateInstance", S_OK};
}

CallResult createInterfaceReporter(std::unique_ptr<Reporter>& reporter) {
    ComPtr<IHxClientAnalytics> analytics;
    const CallResult created = createObject(IID_IHxClientAnalytics, analytics);
    if (!created.ok()) {
        return created;
    }
    return adopt(new (std::nothrow) InterfaceReporter(std::move(analytics)), reporter);
}

CallResult createDispatchReporter(std::unique_ptr<Reporter>& reporter) {
    ComPtr<IDispatch> dispatch;
    const CallResult created = createObject(IID_IDispatch, dispatch);
    if (!created.ok()) {
        return created;
    }
    OLECHAR name[] = L"ReportEventData";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found)) {
        return CallResult{L"GetIDsOfNames", found};
    }
    return adopt(new (std::nothrow) DispatchReporter(std::move(dispatch), id), reporter);
}
} // namespace

CallResult createReporter(bool throughDispatch, std::unique_ptr<Reporter>& reporter) noexcept {
    return throughDispatch ? createDispatchReporter(reporter) : createInterfaceReporter(reporter);
}

} // namespace hxreport
