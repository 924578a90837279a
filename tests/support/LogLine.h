#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/CapturingLogger.h"

namespace PelmoraTests {

// One captured log line without its line number, for comparing whole sequences of lines.
struct LogLine {
    DWORD level;
    std::wstring file;
    std::wstring function;
    std::wstring text;

    bool operator==(const LogLine& other) const {
        return level == other.level && file == other.file && function == other.function && text == other.text;
    }
};

inline void PrintTo(const LogLine& line, std::ostream* out) {
    *out << line.level << ' ' << testing::PrintToString(line.file) << ' '
         << testing::PrintToString(line.function) << ' ' << testing::PrintToString(line.text);
}

inline std::vector<LogLine> logLinesOf(const CapturingLogger& log) {
    std::vector<LogLine> lines;
    for (const auto& entry : log.entries()) {
        lines.push_back({entry.level, entry.file, entry.function, entry.text});
    }
    return lines;
}

} // namespace PelmoraTests
