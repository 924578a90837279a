#pragma once

#include <string>

namespace ETWLogging {

// The fields of one trace event, in the order the payload sends them.
struct TraceRecord {
    int processId = 0;
    int threadId = 0;
    std::wstring processName;
    std::wstring sourceFile;
    int line = 0;
    std::wstring function;
    std::wstring libraryFileName;
    std::wstring libraryVersion;
    std::wstring group;
    std::wstring messageText;
};

} // namespace ETWLogging
