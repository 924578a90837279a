#pragma once

#include <string>

#include <windows.h>

namespace Corvane::Analytics {

// Publishes one analytics record as "Analytics.v1.AddRecord" under the alias
// "Strivan.LegacyCOM" through a bus client made for this call alone, and waits for nothing.
// S_OK also when no client could be made or the bus refused the message (both are logged
// where they happen); E_OUTOFMEMORY when the message could not be built. Throws
// std::bad_alloc when memory runs out.
HRESULT publishRecord(const std::wstring& record);

} // namespace Corvane::Analytics
