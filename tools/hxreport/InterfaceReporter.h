#pragma once

#include "AnalyticsAPI.h"
#include "Reporter.h"
#include "utils/ComPtr.h"

namespace hxreport {

// Calls ReportEventData on IHxClientAnalytics.
class InterfaceReporter : public Reporter {
public:
    explicit InterfaceReporter(Corvane::Com::ComPtr<IHxClientAnalytics> analytics) noexcept;

    CallResult report(BSTR event) const noexcept override;

private:
    Corvane::Com::ComPtr<IHxClientAnalytics> analytics_;
};

} // namespace hxreport
