#include "analytics/EventDataReader.h"

#include <utility>

#include "analytics/EventDataHandler.h"
#include "analytics/JsonReader.h"

namespace Corvane::Analytics {

EventReadResult readEventData(const std::wstring& text, AttributeMap& map) {
    return readEventData(text.c_str(), map);
}

EventReadResult readEventData(const wchar_t* text, AttributeMap& map) {
    EventReadResult result;
    if (text == nullptr || *text == L'\0') {
        result.problem = EventTextProblem::Empty;
        return result;
    }

    // Members go into a working copy, so that a text failing half-way adds nothing.
    AttributeMap work = map.empty() ? AttributeMap() : map;
    EventDataHandler handler(work);
    EventJsonReader reader;
    rapidjson::GenericStringStream<WideJson> stream(text);
    const rapidjson::ParseResult parsed = reader.Parse<eventJsonParseFlags>(stream, handler);

    if (parsed.IsError()) {
        result.problem = EventTextProblem::InvalidJson;
        result.parseError = parsed.Code();
        result.errorOffset = parsed.Offset();
    } else if (handler.problem() != EventTextProblem::None) {
        result.problem = handler.problem();
        result.member = handler.problemMember();
    } else {
        result.scalarRoot = handler.scalarRoot();
        map = std::move(work);
    }
    return result;
}

bool parseEventData(const std::wstring& text, AttributeMap& map) { return readEventData(text, map).ok(); }

} // namespace Corvane::Analytics
