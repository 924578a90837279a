#pragma once

#include <string>

#include <windows.h>

#include "com/IRecordPublisher.h"

namespace Corvane::Analytics {

// Publishes each record as "Analytics.v1.AddRecord" under the alias "Strivan.LegacyCOM"
// through a bus client made for that call alone, and waits for nothing.
class RecordPublisher : public IRecordPublisher {
public:
    // S_OK also when no client could be made or the bus refused the message (both are logged
    // where they happen); E_OUTOFMEMORY when the message could not be built. Throws
    // std::bad_alloc when memory runs out.
    HRESULT publish(const std::wstring& record) override;
};

} // namespace Corvane::Analytics
