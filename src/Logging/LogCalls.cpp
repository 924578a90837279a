#include "Logging/LogCalls.h"

#include <string>

#include "Logging/CLoggingIf_ex.h"
#include "Logging/LogFormat.h"

namespace ETWLogging {

namespace {
DWORD Deliver(CLoggingIf* logger, const wchar_t* file, const wchar_t* function, int line, DWORD level,
              const wchar_t* message) {
    if (auto* extended = dynamic_cast<CLoggingIf_ex*>(logger)) {
        return extended->LogEx(level, file, function, line, message);
    }
    return logger->Log(file, function, line, level, message);
}
} // namespace

void LogMessage(DWORD level, const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                ...) noexcept {
    va_list args;
    va_start(args, format);
    LogMessageV(level, file, function, line, format, args);
    va_end(args);
}

void LogMessageV(DWORD level, const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                 va_list args) noexcept {
    try {
        CLoggerHolder* holder =
            GetLogger(defaultApplicationName, defaultGroup, defaultModule, defaultHost, defaultMechanism);
        CLoggingIf* logger = holder->logger;
        if (logger == nullptr || !logger->IsLevelEnabled(level) || logger->Prepare() != ERROR_SUCCESS) {
            return;
        }
        if (auto* extended = dynamic_cast<CLoggingIf_ex*>(logger)) {
            if (extended->IsLevelEnabled(level)) {
                wchar_t buffer[LOG_BUFFER_CHARS];
                FormatBounded(buffer, LOG_BUFFER_CHARS, format, args);
                extended->LogEx(level, file, function, line, buffer);
            }
            return;
        }
        LogThroughHolderV(holder, level, file, function, line, format, args);
    } catch (...) {
        // No logger, no message; never the caller's problem.
    }
}

DWORD LogThroughHolder(CLoggerHolder* holder, DWORD level, const wchar_t* file, const wchar_t* function, int line,
                       const wchar_t* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    const DWORD result = LogThroughHolderV(holder, level, file, function, line, format, args);
    va_end(args);
    return result;
}

DWORD LogThroughHolderV(CLoggerHolder* holder, DWORD level, const wchar_t* file, const wchar_t* function, int line,
                        const wchar_t* format, va_list args) noexcept {
    if (holder == nullptr || holder->logger == nullptr) {
        return ERROR_FUNCTION_FAILED;
    }
    try {
        if (const DWORD prepared = holder->logger->Prepare()) {
            return prepared;
        }
        std::wstring message;
        if (!FormatWhole(message, format, args)) {
            return ERROR_OUTOFMEMORY;
        }
        if (message.size() > LOG_WHOLE_LIMIT_CHARS) {
            message.resize(LOG_BUFFER_CHARS);
        }
        return Deliver(holder->logger, file, function, line, level, message.c_str());
    } catch (...) {
        return ERROR_FUNCTION_FAILED;
    }
}

DWORD LogDirect(CLoggerHolder* holder, const wchar_t* file, const wchar_t* function, int line, DWORD level,
                const wchar_t* message) noexcept {
    if (holder == nullptr || holder->logger == nullptr) {
        return ERROR_FUNCTION_FAILED;
    }
    try {
        if (const DWORD prepared = holder->logger->Prepare()) {
            return prepared;
        }
        return Deliver(holder->logger, file, function, line, level, message);
    } catch (...) {
        return ERROR_FUNCTION_FAILED;
    }
}

} // namespace ETWLogging
