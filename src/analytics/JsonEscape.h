#pragma once

#include <string>
#include <string_view>

namespace Corvane::Analytics {

// Appends text as the inside of a JSON string: quote, backslash and control characters
// escaped, everything else copied as it is.
void appendJsonEscaped(std::wstring& out, std::wstring_view text);

} // namespace Corvane::Analytics
