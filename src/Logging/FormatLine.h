#pragma once

#include <cstddef>
#include <memory>

#include <windows.h>

#include "Logging/CLogLineEnvironmentIf.h"
#include "Logging/LogOptions.h"

namespace ETWLogging {

// Fixed buffers of one line: each optional field and the time stamp.
constexpr std::size_t LOG_FIELD_CHARS = 260;

// What the file logger contributes to each of its lines.
struct LogLineSource {
    const wchar_t* componentName = nullptr;
    DWORD processId = 0;
    DWORD options = LOG_OPTIONS_DEFAULT;
    CLogLineEnvironmentIf* environment = nullptr; // null: the system's clock and thread
};

// One log-file line: time stamp and level name, the fields that Options selects, the message,
// and "\r\n" unless the message brings its own line feed. 87 for a missing or empty message,
// missing out arguments or a level without a name; 14 when the line cannot be allocated. On
// success text holds the line (its only allocation) and byteSize its size in bytes with the
// terminating zero; on failure both are left alone.
DWORD FormatLine(const LogLineSource& logger, const wchar_t* file, const wchar_t* function, int line,
                 DWORD level, const wchar_t* message, DWORD* byteSize,
                 std::unique_ptr<wchar_t[]>* text) noexcept;

// At most width characters of text, right-aligned in a field of width characters; empty for
// an empty or missing text.
void PadField(wchar_t* buffer, std::size_t capacity, const wchar_t* text, int width) noexcept;

} // namespace ETWLogging
