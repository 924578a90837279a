#pragma once

#include <oaidl.h>

#include "Reporter.h"
#include "utils/ComPtr.h"

namespace hxreport {

// Calls ReportEventData late-bound: IDispatch::Invoke with the id GetIDsOfNames gave.
class DispatchReporter : public Reporter {
public:
    DispatchReporter(Corvane::Com::ComPtr<IDispatch> dispatch, DISPID reportEventData) noexcept;

    CallResult report(BSTR event) const noexcept override;

private:
    Corvane::Com::ComPtr<IDispatch> dispatch_;
    DISPID reportEventData_;
};

} // namespace hxreport
