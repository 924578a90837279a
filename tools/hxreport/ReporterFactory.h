#pragma once

#include <memory>

#include "CallResult.h"
#include "Reporter.h"

namespace hxreport {

// Creates CLSID_AnalyticsAPI in process on the calling thread's apartment, ready to report
// through IHxClientAnalytics or, late-bound, through IDispatch. On failure, the call that failed.
CallResult createReporter(bool throughDispatch, std::unique_ptr<Reporter>& reporter) noexcept;

} // namespace hxreport
