#include "Logging/CDefaultLoggingHandler.h"

#include <cstdarg>

#include "Logging/LogFormat.h"

namespace Vornix {

namespace {
std::wstring Format(const wchar_t* format, ...) {
    std::wstring text;
    va_list args;
    va_start(args, format);
    ETWLogging::FormatWhole(text, format, args);
    va_end(args);
    return text;
}

const wchar_t* OrEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }
} // namespace

CDefaultLoggingHandler& CDefaultLoggingHandler::Instance() {
    static CDefaultLoggingHandler instance;
    return instance;
}

std::wstring CDefaultLoggingHandler::FormatLine(DWORD type, const wchar_t* file, const wchar_t* function, int line,
                                                const wchar_t* message) {
    const wchar_t* format = nullptr;
    switch (type) {
    case LOG_TYPE_NONE: return std::wstring();
    case LOG_TYPE_INFORMATION: format = L"%ls(%d): [INFO]: [%ls]: %ls\n"; break;
    case LOG_TYPE_ERROR: format = L"%ls(%d): [ERROR]: [%ls]: %ls\n"; break;
    default: format = L"%ls(%d): [UNKNOWN]: [%ls]: %ls\n"; break;
    }
    return Format(format, OrEmpty(file), line, OrEmpty(function), OrEmpty(message));
}

void CDefaultLoggingHandler::HandleMessage(DWORD type, const wchar_t* file, const wchar_t* function, int line,
                                           const wchar_t* message) {
    try {
        const std::wstring text = FormatLine(type, file, function, line, message);
        if (!text.empty()) {
            OutputDebugStringW(text.c_str());
        }
    } catch (...) {
        // A diagnostic that cannot be built is dropped.
    }
}

} // namespace Vornix
