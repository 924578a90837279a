#include "DispatchReporter.h"

#include <iterator>
#include <utility>

namespace hxreport {

namespace {
VARIANT borrowedString(BSTR text) {
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = text;
    return argument;
}
} // namespace

DispatchReporter::DispatchReporter(Corvane::Com::ComPtr<IDispatch> dispatch, DISPID reportEventData) noexcept
    : dispatch_(std::move(dispatch)), reportEventData_(reportEventData) {}

CallResult DispatchReporter::report(BSTR event) const noexcept {
    // The object reads its arguments in the interface's order, not reversed as Invoke usually
    // has them: configuration, event, attached data sets. The strings stay the caller's.
    VARIANT arguments[] = {borrowedString(nullptr), borrowedString(event), borrowedString(nullptr)};
    DISPPARAMS parameters{arguments, nullptr, static_cast<UINT>(std::size(arguments)), 0};
    const HRESULT result = dispatch_->Invoke(reportEventData_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                             &parameters, nullptr, nullptr, nullptr);
    return CallResult{L"Invoke", result};
}

} // namespace hxreport
