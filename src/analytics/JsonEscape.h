#pragma once

#include <cstddef>
#include <string_view>

namespace Corvane::Analytics {

// Writing text as the inside of a JSON string: quote, backslash and characters below
// U+0020 escaped, everything else copied as it is. Measured first, so that a record is
// written into a buffer of its exact size.
std::size_t jsonEscapedLength(std::wstring_view text);

// Writes jsonEscapedLength(text) characters at out; returns the end of what it wrote.
wchar_t* writeJsonEscaped(wchar_t* out, std::wstring_view text);

} // namespace Corvane::Analytics
