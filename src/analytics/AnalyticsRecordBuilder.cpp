#include "analytics/AnalyticsRecordBuilder.h"

#include <optional>
#include <string_view>
#include <utility>

#include "analytics/EventDataReader.h"
#include "analytics/JsonEscape.h"

namespace Corvane::Analytics {

namespace {
std::optional<std::wstring_view> findFirst(const AttributeMap& attributes, std::wstring_view preferred,
                                          std::wstring_view fallback) {
    const auto value = attributes.find(preferred);
    return value ? value : attributes.find(fallback);
}

// The record's pieces: the fixed texts and each string, JSON-escaped.
constexpr std::wstring_view recordStart = L"{\"type\":\"";
constexpr std::wstring_view afterType = L"\",\"unique_id\":\"";
constexpr std::wstring_view afterId = L"\",\"data\":[";
constexpr std::wstring_view itemStart = L"{\"";
constexpr std::wstring_view itemMiddle = L"\":\"";
constexpr std::wstring_view itemEnd = L"\"}";
constexpr std::wstring_view recordEnd = L"]}";

std::size_t recordLength(const AttributeMap& attributes, std::wstring_view type, std::wstring_view id) {
    std::size_t length = recordStart.size() + jsonEscapedLength(type) + afterType.size() + jsonEscapedLength(id) +
                         afterId.size() + recordEnd.size();
    for (const auto& entry : attributes) {
        length += itemStart.size() + jsonEscapedLength(entry.key) + itemMiddle.size() +
                  jsonEscapedLength(entry.value) + itemEnd.size();
    }
    return length + attributes.size() - 1; // commas between items
}

wchar_t* put(wchar_t* out, std::wstring_view text) {
    for (wchar_t c : text) {
        *out++ = c;
    }
    return out;
}

void writeRecord(wchar_t* out, const AttributeMap& attributes, std::wstring_view type, std::wstring_view id) {
    out = writeJsonEscaped(put(out, recordStart), type);
    out = writeJsonEscaped(put(out, afterType), id);
    out = put(out, afterId);
    bool first = true;
    for (const auto& entry : attributes) {
        if (!first) {
            *out++ = L',';
        }
        first = false;
        out = writeJsonEscaped(put(out, itemStart), entry.key);
        out = writeJsonEscaped(put(out, itemMiddle), entry.value);
        out = put(out, itemEnd);
    }
    put(out, recordEnd);
}
} // namespace

RecordProblem renderAnalyticsRecord(const AttributeMap& attributes, std::wstring& record) {
    const auto id = findFirst(attributes, L"UniqueIdentifier", L"UniqueId");
    if (!id) {
        return RecordProblem::NoUniqueId;
    }
    const auto type = findFirst(attributes, L"Tracker.Type", L"Type");
    if (!type) {
        return RecordProblem::NoType;
    }

    // Measured first and written in place: one allocation, however large the event.
    std::wstring text(recordLength(attributes, *type, *id), L'\0');
    writeRecord(text.data(), attributes, *type, *id);

    record = std::move(text);
    return RecordProblem::None;
}

RecordBuildResult tryBuildAnalyticsRecord(const wchar_t* eventText, std::wstring& record) {
    RecordBuildResult result;
    AttributeMap attributes;
    result.eventText = readEventData(eventText != nullptr ? eventText : L"", attributes);
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
