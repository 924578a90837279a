#pragma once

#include <string>

#include "analytics/AttributeMap.h"
#include "analytics/EventReadResult.h"

namespace Corvane::Analytics {

// Reads an event text (a JSON object of string members, already cut at its first NUL)
// into the map. On any problem the map is left exactly as it was.
// Throws std::bad_alloc when memory runs out.
EventReadResult readEventData(const std::wstring& text, AttributeMap& map);
EventReadResult readEventData(const wchar_t* text, AttributeMap& map); // NUL-terminated

// True when the text was read and its members stored. A root number, true, false or
// null holds no members and also gives true.
bool parseEventData(const std::wstring& text, AttributeMap& map);

} // namespace Corvane::Analytics
