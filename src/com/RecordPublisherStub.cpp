#include "com/RecordPublisher.h"

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"

namespace Corvane::Analytics {

// Stands in until the bus client is part of the build: the record only reaches the log.
HRESULT publishRecord(const std::wstring& record) {
    HXLOG(ETWLogging::LOG_LEVEL_INFORMATION, L"com\\RecordPublisher", L"Corvane::Analytics::publishRecord",
          L"No bus client in this build; record not published: %ls", record.c_str());
    return S_OK;
}

} // namespace Corvane::Analytics
