#include "Logging/CLogger.h"

#include <cstdarg>
#include <cstdint>
#include <string>

#include "Logging/CDefaultLoggingHandler.h"
#include "Logging/LogFormat.h"

namespace Vornix {

namespace {
ILoggingHandler* registeredHandler = nullptr;

const wchar_t* const sourceFile = L"Logging\\internal_logging";
const wchar_t* const registerFunction = L"Vornix::CLogger::RegisterHandler";
const wchar_t* const unregisterFunction = L"Vornix::CLogger::UnregisterHandler";

// The system's message text for an error number.
std::wstring SystemMessage(DWORD error) {
    wchar_t text[1024] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 1024,
                   nullptr);
    return text;
}

// Handlers are printed as the low 32 bits of their address.
unsigned int AddressBits(const ILoggingHandler* handler) {
    return static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(handler));
}

// Makes handler the registered one for the length of one report.
class BorrowedSlot {
public:
    explicit BorrowedSlot(ILoggingHandler* handler) : saved_(registeredHandler) { registeredHandler = handler; }
    ~BorrowedSlot() { registeredHandler = saved_; }
    BorrowedSlot(const BorrowedSlot&) = delete;
    BorrowedSlot& operator=(const BorrowedSlot&) = delete;

private:
    ILoggingHandler* saved_;
};
} // namespace

ILoggingHandler* CLogger::RegisteredHandler() { return registeredHandler; }

DWORD CLogger::RegisterHandler(ILoggingHandler* handler) {
    if (handler == nullptr) {
        Report(LOG_TYPE_ERROR, sourceFile, registerFunction, __LINE__, L"%ls: Cannot Register (NULL) handler",
               SystemMessage(ERROR_INVALID_PARAMETER).c_str());
        return ERROR_INVALID_PARAMETER;
    }
    if (registeredHandler == nullptr || registeredHandler == handler ||
        registeredHandler == &CDefaultLoggingHandler::Instance()) {
        registeredHandler = handler;
        return ERROR_SUCCESS;
    }
    Report(LOG_TYPE_ERROR, sourceFile, registerFunction, __LINE__,
           L"%ls: Registered Logging Handler 0x%08X cannot be replaced with 0x%08X",
           SystemMessage(ERROR_INVALID_STATE).c_str(), AddressBits(registeredHandler), AddressBits(handler));
    return ERROR_INVALID_STATE;
}

DWORD CLogger::UnregisterHandler(ILoggingHandler* handler) {
    if (handler == nullptr) {
        Report(LOG_TYPE_ERROR, sourceFile, unregisterFunction, __LINE__, L"%ls: Cannot Unregister (NULL) handler",
               SystemMessage(ERROR_INVALID_PARAMETER).c_str());
        return ERROR_INVALID_PARAMETER;
    }
    if (registeredHandler == nullptr) {
        // The requester hears about its mistake; the slot stays empty.
        ReportTo(handler, unregisterFunction,
                 L"%ls: Request to Unregister Logging handler 0x%08X, but none are registered",
                 SystemMessage(ERROR_INVALID_STATE).c_str(), AddressBits(handler));
        return ERROR_INVALID_STATE;
    }
    if (registeredHandler == handler) {
        registeredHandler = nullptr;
        return ERROR_SUCCESS;
    }
    const std::wstring text = SystemMessage(ERROR_INVALID_STATE);
    const wchar_t* const mismatch =
        L"%ls: Failed to Unregister Logging handler (requested handler 0x%08X != registered handler 0x%08X)";
    ILoggingHandler* const registered = registeredHandler;
    ReportTo(registered, unregisterFunction, mismatch, text.c_str(), AddressBits(handler), AddressBits(registered));
    ReportTo(handler, unregisterFunction, mismatch, text.c_str(), AddressBits(handler), AddressBits(registered));
    return ERROR_INVALID_STATE;
}

void CLogger::ReportTo(ILoggingHandler* handler, const wchar_t* function, const wchar_t* format, ...) {
    BorrowedSlot slot(handler);
    std::wstring message;
    va_list args;
    va_start(args, format);
    const bool formatted = ETWLogging::FormatWhole(message, format, args);
    va_end(args);
    if (formatted) {
        Report(LOG_TYPE_ERROR, sourceFile, function, __LINE__, L"%ls", message.c_str());
    }
}

void CLogger::Report(DWORD type, const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                     ...) {
    if (registeredHandler == nullptr) {
        registeredHandler = &CDefaultLoggingHandler::Instance();
    }
    std::wstring message;
    va_list args;
    va_start(args, format);
    const bool formatted = ETWLogging::FormatWhole(message, format, args);
    va_end(args);
    if (!formatted) {
        registeredHandler->HandleMessage(LOG_TYPE_ERROR, file, function, line,
                                         L"General memory-allocation failure in Vornix logger.");
        return;
    }
    registeredHandler->HandleMessage(type, file, function, line, message.c_str());
}

} // namespace Vornix
