#pragma once

#include <string>

#include "analytics/AttributeMap.h"
#include "analytics/EventReadResult.h"
#include "analytics/JsonReader.h"

namespace Corvane::Analytics {

// SAX handler that stores the root object's string members into a map, in text order.
// Anything else is noted as the first problem and the parse goes on, so that a text
// that is not JSON at all is reported as such rather than by its first odd member.
class EventDataHandler {
public:
    using Ch = wchar_t;

    explicit EventDataHandler(AttributeMap& map) : map_(map) {}

    EventTextProblem problem() const { return problem_; }
    const std::wstring& problemMember() const { return problemMember_; }
    bool scalarRoot() const { return scalarRoot_; }

    bool Null() { return scalar(); }
    bool Bool(bool) { return scalar(); }
    bool Int(int) { return scalar(); }
    bool Uint(unsigned) { return scalar(); }
    bool Int64(int64_t) { return scalar(); }
    bool Uint64(uint64_t) { return scalar(); }
    bool Double(double) { return scalar(); }
    bool RawNumber(const Ch*, rapidjson::SizeType, bool) { return scalar(); }
    bool String(const Ch* text, rapidjson::SizeType length, bool copy);
    bool StartObject();
    bool Key(const Ch* text, rapidjson::SizeType length, bool copy);
    bool EndObject(rapidjson::SizeType) { return leave(); }
    bool StartArray();
    bool EndArray(rapidjson::SizeType) { return leave(); }

private:
    bool scalar();
    bool leave();
    void noteMemberProblem();

    AttributeMap& map_;
    unsigned long depth_ = 0;
    std::wstring key_;
    EventTextProblem problem_ = EventTextProblem::None;
    std::wstring problemMember_;
    bool scalarRoot_ = false;
};

} // namespace Corvane::Analytics
