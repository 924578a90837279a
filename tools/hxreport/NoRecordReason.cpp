#include "NoRecordReason.h"

#include <rapidjson/error/en.h>

#include "ConsoleText.h"

namespace hxreport {

using Corvane::Analytics::EventReadResult;
using Corvane::Analytics::EventTextProblem;
using Corvane::Analytics::RecordProblem;

namespace {
const wchar_t* const rootNotObject = L"the root of the event text is not an object";

std::wstring eventTextReason(const EventReadResult& read) {
    switch (read.problem) {
    case EventTextProblem::None: break;
    case EventTextProblem::Empty: return L"the event text is empty";
    case EventTextProblem::InvalidJson: {
        const std::string text = rapidjson::GetParseError_En(read.parseError);
        return L"the event text is not valid JSON: " + std::wstring(text.begin(), text.end()) + L" (offset " +
               std::to_wstring(read.errorOffset) + L")";
    }
    case EventTextProblem::RootNotObject: return rootNotObject;
    case EventTextProblem::MemberNotString: return L"member \"" + read.member + L"\" is not a string";
    }
    return L"the event text cannot be read";
}
} // namespace

std::wstring noRecordReason(const Corvane::Analytics::RecordBuildResult& result) {
    // The product reads a lone scalar as an event without members; the lack of an identifier
    // would hide the real mistake.
    if (result.eventText.scalarRoot) {
        return rootNotObject;
    }
    switch (result.problem) {
    case RecordProblem::None: break;
    case RecordProblem::EventText: return eventTextReason(result.eventText);
    case RecordProblem::NoUniqueId: return L"the event has no \"UniqueIdentifier\" or \"UniqueId\" member";
    case RecordProblem::NoType: return L"the event has no \"Tracker.Type\" or \"Type\" member";
    }
    return L"no record";
}

} // namespace hxreport
