#pragma once

#include <string>

#include "AnalyticsAPI.h"
#include "LoggedMessage.h"

namespace PelmoraTests {

// The two ways a client hands an event to the analytics object.
using ReportCall = HRESULT (*)(IHxClientAnalytics& analytics, const std::wstring& event);

HRESULT reportThroughInterface(IHxClientAnalytics& analytics, const std::wstring& event);
// Late-bound, as scripts call it: GetIDsOfNames, then Invoke with three BSTR arguments.
HRESULT reportThroughDispatch(IHxClientAnalytics& analytics, const std::wstring& event);

// How a record appears in the message log once published.
LoggedMessage publishedRecord(const std::wstring& record);

} // namespace PelmoraTests
