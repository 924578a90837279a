#pragma once

#include <optional>
#include <string>

#include <windows.h>

namespace FileLogTests {

// A whole line of a writer process, taken apart.
struct WrittenLine {
    DWORD processId = 0;
    // The line's place in the order of all writes (printed as the thread id).
    DWORD ticket = 0;
    unsigned writer = 0;
    unsigned sequence = 0;
    std::size_t bytes = 0;
};

// Nothing unless the line is exactly one a writer makes: time stamp, level, component,
// process and ticket, the writer's tagged message rebuilt from its tag, and "\r\n".
std::optional<WrittenLine> parseWrittenLine(const std::wstring& line);

} // namespace FileLogTests
