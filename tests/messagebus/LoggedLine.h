#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <windows.h>

#include "support/CapturingLogger.h"

namespace PelmoraTests {

// One captured log line without its line number, for exact comparisons.
struct LoggedLine {
    DWORD level;
    std::wstring file;
    std::wstring function;
    std::wstring text;

    bool operator==(const LoggedLine& other) const {
        return level == other.level && file == other.file && function == other.function && text == other.text;
    }

    static std::vector<LoggedLine> of(const CapturingLogger& logger) {
        std::vector<LoggedLine> lines;
        for (const auto& entry : logger.entries()) {
            lines.push_back({entry.level, entry.file, entry.function, entry.text});
        }
        return lines;
    }
};

inline void PrintTo(const LoggedLine& line, std::ostream* out) {
    *out << line.level << " " << testing::PrintToString(line.file) << " "
         << testing::PrintToString(line.function) << " " << testing::PrintToString(line.text);
}

} // namespace PelmoraTests
