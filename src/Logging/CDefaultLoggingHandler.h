#pragma once

#include <string>

#include "Logging/ILoggingHandler.h"

namespace Vornix {

// What messages of the utility library reach when nobody registered a handler: the debugger.
class CDefaultLoggingHandler : public ILoggingHandler {
public:
    static CDefaultLoggingHandler& Instance();

    void HandleMessage(DWORD type, const wchar_t* file, const wchar_t* function, int line,
                       const wchar_t* message) override;

    // The line written to the debugger output; empty for type none.
    static std::wstring FormatLine(DWORD type, const wchar_t* file, const wchar_t* function, int line,
                                   const wchar_t* message);

private:
    CDefaultLoggingHandler() = default;
};

} // namespace Vornix
