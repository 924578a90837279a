#include "analytics/AnalyticsRecordBuilder.h"

#include <utility>

#include "analytics/EventDataReader.h"
#include "analytics/JsonEscape.h"

namespace Corvane::Analytics {

namespace {
const std::wstring* findFirst(const AttributeMap& attributes, const wchar_t* preferred, const wchar_t* fallback) {
    const std::wstring* value = attributes.find(preferred);
    return value != nullptr ? value : attributes.find(fallback);
}

std::size_t estimatedLength(const AttributeMap& attributes, const std::wstring& type, const std::wstring& id) {
    std::size_t length = 40 + type.size() + id.size();
    for (const auto& entry : attributes) {
        length += entry.key.size() + entry.value.size() + 8;
    }
    return length;
}

void appendString(std::wstring& out, const std::wstring& text) {
    out += L'"';
    appendJsonEscaped(out, text);
    out += L'"';
}
} // namespace

RecordProblem renderAnalyticsRecord(const AttributeMap& attributes, std::wstring& record) {
    const std::wstring* id = findFirst(attributes, L"UniqueIdentifier", L"UniqueId");
    if (id == nullptr) {
        return RecordProblem::NoUniqueId;
    }
    const std::wstring* type = findFirst(attributes, L"Tracker.Type", L"Type");
    if (type == nullptr) {
        return RecordProblem::NoType;
    }

    std::wstring text;
    text.reserve(estimatedLength(attributes, *type, *id));
    text += L"{\"type\":";
    appendString(text, *type);
    text += L",\"unique_id\":";
    appendString(text, *id);
    text += L",\"data\":[";
    bool first = true;
    for (const auto& entry : attributes) {
        text += first ? L"{" : L",{";
        first = false;
        appendString(text, entry.key);
        text += L':';
        appendString(text, entry.value);
        text += L'}';
    }
    text += L"]}";

    record = std::move(text);
    return RecordProblem::None;
}

RecordBuildResult tryBuildAnalyticsRecord(const wchar_t* eventText, std::wstring& record) {
    RecordBuildResult result;
    AttributeMap attributes;
    result.eventText = readEventData(eventText != nullptr ? std::wstring(eventText) : std::wstring(), attributes);
    if (!result.eventText.ok()) {
        result.problem = RecordProblem::EventText;
        return result;
    }
    result.problem = renderAnalyticsRecord(attributes, record);
    return result;
}

bool buildAnalyticsRecord(const wchar_t* eventText, std::wstring& record) {
    return tryBuildAnalyticsRecord(eventText, record).ok();
}

} // namespace Corvane::Analytics
