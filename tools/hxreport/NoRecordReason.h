#pragma once

#include <string>

#include "analytics/AnalyticsRecordBuilder.h"

namespace hxreport {

// One line for a person: why the event yields no record.
std::wstring noRecordReason(const Corvane::Analytics::RecordBuildResult& result);

} // namespace hxreport
