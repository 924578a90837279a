#include "Logging/FormatLine.h"

#include <cwchar>
#include <new>

#include "Logging/CSystemLogLineEnvironment.h"
#include "Logging/LogLevelNames.h"

namespace ETWLogging {

namespace {

constexpr int COMPONENT_WIDTH = 15;
constexpr int SOURCE_WIDTH = 20;
constexpr int FUNCTION_WIDTH = 40;
// Room for the fixed text around the parts: " -- (", ")$", the spaces, the line end, the zero.
constexpr std::size_t LINE_EXTRA_CHARS = 30;
// The byte size of a line, zero included, must fit its 32-bit out argument.
constexpr std::size_t LINE_MAX_CHARS = 0x7FFFFFFF;

struct LineFields {
    wchar_t component[LOG_FIELD_CHARS] = {};
    wchar_t processThread[LOG_FIELD_CHARS] = {};
    wchar_t source[LOG_FIELD_CHARS] = {};
    wchar_t function[LOG_FIELD_CHARS] = {};
};

bool IsEmpty(const wchar_t* text) {
    return text == nullptr || *text == L'\0';
}

const wchar_t* AfterLastBackslash(const wchar_t* path) {
    const wchar_t* backslash = std::wcsrchr(path, L'\\');
    return backslash != nullptr ? backslash + 1 : path;
}

void BuildFields(const LogLineSource& logger, DWORD threadId, const wchar_t* file, const wchar_t* function,
                 int line, LineFields& fields) {
    wchar_t padded[LOG_FIELD_CHARS];
    if ((logger.options & LOG_OPTION_COMPONENT) != 0 && !IsEmpty(logger.componentName)) {
        PadField(padded, LOG_FIELD_CHARS, logger.componentName, COMPONENT_WIDTH);
        std::swprintf(fields.component, LOG_FIELD_CHARS, L"[%ls]$", padded);
    }
    if ((logger.options & LOG_OPTION_PROCESS_THREAD) != 0) {
        std::swprintf(fields.processThread, LOG_FIELD_CHARS, L"[PID:%5d TID:%5d]$",
                      static_cast<int>(logger.processId), static_cast<int>(threadId));
    }
    if ((logger.options & LOG_OPTION_SOURCE) != 0 && !IsEmpty(file)) {
        PadField(padded, LOG_FIELD_CHARS, AfterLastBackslash(file), SOURCE_WIDTH);
        std::swprintf(fields.source, LOG_FIELD_CHARS, L"[%ls:%5d]$", padded, line);
    }
    if ((logger.options & LOG_OPTION_FUNCTION) != 0 && !IsEmpty(function)) {
        PadField(padded, LOG_FIELD_CHARS, function, FUNCTION_WIDTH);
        std::swprintf(fields.function, LOG_FIELD_CHARS, L"[%ls()]$", padded);
    }
}

// 12-hour clock: midnight is 12 AM, noon 12 PM.
void FormatTimeStamp(const SYSTEMTIME& time, wchar_t (&stamp)[LOG_FIELD_CHARS]) {
    const WORD hour = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
    std::swprintf(stamp, LOG_FIELD_CHARS, L"%02hu/%02hu/%hu %02hu:%02hu:%02hu %ls$", time.wMonth, time.wDay,
                  time.wYear, hour, time.wMinute, time.wSecond, time.wHour < 12 ? L"AM" : L"PM");
}

// A line and how much of it is written; FormatLine sized it for everything appended.
struct LineBuffer {
    wchar_t* text;
    std::size_t capacity;
    std::size_t used;
};

void Append(LineBuffer& line, const wchar_t* text) {
    const std::size_t length = std::wcslen(text);
    if (length < line.capacity - line.used) {
        std::wmemcpy(line.text + line.used, text, length);
        line.used += length;
    }
}

void WriteLine(LineBuffer& line, DWORD options, const wchar_t* stamp, const wchar_t* levelName,
               const LineFields& fields, const wchar_t* message, std::size_t messageLength) {
    Append(line, stamp);
    Append(line, L" -- (");
    Append(line, levelName);
    Append(line, L")$");
    const struct {
        DWORD bit;
        const wchar_t* text;
    } optional[] = {
        {LOG_OPTION_COMPONENT, fields.component},
        {LOG_OPTION_PROCESS_THREAD, fields.processThread},
        {LOG_OPTION_SOURCE, fields.source},
        {LOG_OPTION_FUNCTION, fields.function},
    };
    for (const auto& field : optional) {
        if ((options & field.bit) != 0) {
            Append(line, L" ");
            Append(line, field.text);
        }
    }
    Append(line, L" ");
    Append(line, message);
    if (message[messageLength - 1] != L'\n') {
        Append(line, L"\r\n");
    }
}

} // namespace

void PadField(wchar_t* buffer, std::size_t capacity, const wchar_t* text, int width) noexcept {
    if (buffer == nullptr || capacity == 0) {
        return;
    }
    buffer[0] = L'\0';
    if (IsEmpty(text) || width <= 0) {
        return;
    }
    // A field never outgrows its buffer.
    const std::size_t limit = capacity < LOG_FIELD_CHARS ? capacity - 1 : LOG_FIELD_CHARS - 1;
    if (static_cast<std::size_t>(width) > limit) {
        width = static_cast<int>(limit);
    }
    wchar_t cut[LOG_FIELD_CHARS];
    const std::size_t count = wcsnlen(text, static_cast<std::size_t>(width));
    std::wmemcpy(cut, text, count);
    cut[count] = L'\0';
    wchar_t format[16];
    std::swprintf(format, 16, L"%%%dls", width);
    std::swprintf(buffer, capacity, format, cut);
}

DWORD FormatLine(const LogLineSource& logger, const wchar_t* file, const wchar_t* function, int line,
                 DWORD level, const wchar_t* message, DWORD* byteSize,
                 std::unique_ptr<wchar_t[]>* text) noexcept {
    if (IsEmpty(message) || byteSize == nullptr || text == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const wchar_t* levelName = LogLevelName(level);
    if (levelName == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    CLogLineEnvironmentIf& environment =
        logger.environment != nullptr ? *logger.environment : CSystemLogLineEnvironment::Instance();
    LineFields fields;
    BuildFields(logger, environment.CurrentThreadId(), file, function, line, fields);
    SYSTEMTIME now{};
    environment.LocalTime(now);
    wchar_t stamp[LOG_FIELD_CHARS];
    FormatTimeStamp(now, stamp);

    const std::size_t messageLength = std::wcslen(message);
    if (messageLength > LINE_MAX_CHARS / 2) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::size_t capacity = messageLength + std::wcslen(levelName) + std::wcslen(stamp) +
                                 std::wcslen(fields.component) + std::wcslen(fields.processThread) +
                                 std::wcslen(fields.source) + std::wcslen(fields.function) + LINE_EXTRA_CHARS;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[capacity]());
    if (!buffer) {
        return ERROR_OUTOFMEMORY;
    }
    LineBuffer written{buffer.get(), capacity, 0};
    WriteLine(written, logger.options, stamp, levelName, fields, message, messageLength);
    *byteSize = static_cast<DWORD>((written.used + 1) * sizeof(wchar_t));
    *text = std::move(buffer);
    return ERROR_SUCCESS;
}

} // namespace ETWLogging
