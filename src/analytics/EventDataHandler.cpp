#include "analytics/EventDataHandler.h"

#include <string_view>

namespace Corvane::Analytics {

namespace {
// A decoded \u0000 ends a name or a value.
std::wstring_view untilNul(const wchar_t* text, rapidjson::SizeType length) {
    std::wstring_view view(text, length);
    return view.substr(0, view.find(L'\0'));
}
} // namespace

bool EventDataHandler::scalar() {
    // A scalar root holds no members; a scalar member is not a string.
    if (depth_ == 1) {
        noteMemberProblem();
    }
    return true;
}

bool EventDataHandler::String(const Ch* text, rapidjson::SizeType length, bool) {
    if (depth_ == 0) {
        problem_ = EventTextProblem::RootNotObject;
    } else if (depth_ == 1 && problem_ == EventTextProblem::None) {
        map_.insertOrAssign(untilNul(key_.data(), static_cast<rapidjson::SizeType>(key_.size())),
                            untilNul(text, length));
    }
    return true;
}

bool EventDataHandler::Key(const Ch* text, rapidjson::SizeType length, bool) {
    // The reader reuses its buffer for the value, so the name is kept here.
    if (depth_ == 1) {
        key_.assign(text, length);
    }
    return true;
}

bool EventDataHandler::StartObject() {
    if (depth_ == 1) {
        noteMemberProblem();
    }
    ++depth_;
    return true;
}

bool EventDataHandler::StartArray() {
    if (depth_ == 0) {
        problem_ = EventTextProblem::RootNotObject;
    } else if (depth_ == 1) {
        noteMemberProblem();
    }
    ++depth_;
    return true;
}

bool EventDataHandler::leave() {
    --depth_;
    return true;
}

void EventDataHandler::noteMemberProblem() {
    if (problem_ == EventTextProblem::None) {
        problem_ = EventTextProblem::MemberNotString;
        problemMember_ = key_;
    }
}

} // namespace Corvane::Analytics
