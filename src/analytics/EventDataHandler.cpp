#include "analytics/EventDataHandler.h"

#include <string_view>

#include <emmintrin.h>

namespace Corvane::Analytics {

namespace {
// A decoded \u0000 ends a name or a value.
// Eight code units at a time: every name and value passes through here.
std::wstring_view untilNul(const wchar_t* text, rapidjson::SizeType length) {
    const __m128i zero = _mm_setzero_si128();
    rapidjson::SizeType end = 0;
    for (; end + 8 <= length; end += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + end));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(units, zero));
        if (mask != 0) {
            return std::wstring_view(text, end + static_cast<unsigned>(__builtin_ctz(static_cast<unsigned>(mask))) / 2);
        }
    }
    while (end < length && text[end] != L'\0') {
        ++end;
    }
    return std::wstring_view(text, end);
}
} // namespace

bool EventDataHandler::scalar() {
    // A scalar root holds no members; a scalar member is not a string.
    if (depth_ == 0) {
        scalarRoot_ = true;
    } else if (depth_ == 1) {
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
