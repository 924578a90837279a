#pragma once

#include <windows.h>

#include "Logging/ILoggingHandler.h"

namespace Vornix {

// The utility library's small logging facility: one process-wide handler slot. The product
// registers a bridge into its own logger there; without one, messages go to the debugger.
class CLogger {
public:
    static DWORD RegisterHandler(ILoggingHandler* handler);
    static DWORD UnregisterHandler(ILoggingHandler* handler);
    static void Report(DWORD type, const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                       ...);

    // The handler in the slot, or null.
    static ILoggingHandler* RegisteredHandler();

private:
    static void ReportTo(ILoggingHandler* handler, const wchar_t* function, const wchar_t* format, ...);
};

} // namespace Vornix
