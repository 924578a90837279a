#include "InterfaceReporter.h"

#include <utility>

namespace hxreport {

InterfaceReporter::InterfaceReporter(Corvane::Com::ComPtr<IHxClientAnalytics> analytics) noexcept
    : analytics_(std::move(analytics)) {}

CallResult InterfaceReporter::report(BSTR event) const noexcept {
    return CallResult{L"ReportEventData", analytics_->ReportEventData(nullptr, event, nullptr)};
}

} // namespace hxreport
