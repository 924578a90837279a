#pragma once

#include <cstddef>
#include <string>

#include <rapidjson/error/error.h>

namespace Corvane::Analytics {

enum class EventTextProblem {
    None,
    Empty,
    InvalidJson,
    RootNotObject,
    MemberNotString,
};

// Why an event text yielded no attributes, for callers that explain it to a person.
struct EventReadResult {
    EventTextProblem problem = EventTextProblem::None;
    rapidjson::ParseErrorCode parseError = rapidjson::kParseErrorNone;
    std::size_t errorOffset = 0;
    std::wstring member; // the offending member's name, for MemberNotString
    // A lone number, true, false or null: no problem for the product, which finds no members,
    // but worth telling a person apart from an object that lacks them.
    bool scalarRoot = false;

    bool ok() const { return problem == EventTextProblem::None; }
};

} // namespace Corvane::Analytics
