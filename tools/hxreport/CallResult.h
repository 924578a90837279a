#pragma once

#include <windows.h>

namespace hxreport {

// What one COM call answered, with the call's name for the person reading the output.
struct CallResult {
    const wchar_t* call;
    HRESULT result;

    bool ok() const { return SUCCEEDED(result); }
};

inline CallResult outOfMemory() {
    return CallResult{L"hxreport", E_OUTOFMEMORY};
}

} // namespace hxreport
