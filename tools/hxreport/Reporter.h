#pragma once

#include <windows.h>

#include <oleauto.h>

#include "CallResult.h"

namespace hxreport {

// One analytics object, and the way its ReportEventData is called.
class Reporter {
public:
    virtual ~Reporter() = default;

    // Callable from several threads at once when the object lives in the MTA.
    virtual CallResult report(BSTR event) const noexcept = 0;
};

} // namespace hxreport
