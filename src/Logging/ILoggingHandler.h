#pragma once

#include <windows.h>

namespace Vornix {

// Message types of the utility library's logging facility.
constexpr DWORD LOG_TYPE_NONE = 0;
constexpr DWORD LOG_TYPE_INFORMATION = 1;
constexpr DWORD LOG_TYPE_ERROR = 2;

class ILoggingHandler {
public:
    virtual void HandleMessage(DWORD type, const wchar_t* file, const wchar_t* function, int line,
                               const wchar_t* message) = 0;

protected:
    ~ILoggingHandler() = default;
};

} // namespace Vornix
