#pragma once

#include <string>

#include "analytics/AttributeMap.h"
#include "analytics/EventReadResult.h"

namespace Corvane::Analytics {

enum class RecordProblem {
    None,
    EventText, // see eventText for why the text yielded no attributes
    NoUniqueId,
    NoType,
};

struct RecordBuildResult {
    RecordProblem problem = RecordProblem::None;
    EventReadResult eventText;

    bool ok() const { return problem == RecordProblem::None; }
};

// Builds the analytics record {"type":…,"unique_id":…,"data":[…]} from an event text
// (read up to its first NUL). On failure the record is left as the caller passed it.
// Throws std::bad_alloc when memory runs out.
RecordBuildResult tryBuildAnalyticsRecord(const wchar_t* eventText, std::wstring& record);

// For callers that only publish the record, such as the analytics object: false where
// tryBuildAnalyticsRecord names a problem, the record then untouched; throws as it does.
bool buildAnalyticsRecord(const wchar_t* eventText, std::wstring& record);

// The record of an already read event; NoUniqueId or NoType when it lacks the identifier or
// the type (looked for in that order), the record then left as the caller passed it.
RecordProblem renderAnalyticsRecord(const AttributeMap& attributes, std::wstring& record);

} // namespace Corvane::Analytics
