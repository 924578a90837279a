#include "EventBstr.h"

#include <climits>

namespace hxreport {

Corvane::Com::UniqueBstr toEventBstr(const std::wstring& event) {
    if (event.size() > UINT_MAX / sizeof(wchar_t)) {
        return Corvane::Com::UniqueBstr();
    }
    return Corvane::Com::UniqueBstr(SysAllocStringLen(event.data(), static_cast<UINT>(event.size())));
}

} // namespace hxreport
