#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace ETWLogging {

// printf-style wide formatting into a fixed buffer: text that does not fit is cut, and the
// buffer always ends in a NUL. An invalid format leaves an empty text.
void FormatBounded(wchar_t* buffer, std::size_t capacity, const wchar_t* format, va_list args) noexcept;

// The same into a string of exactly the needed size. False when the format is invalid or the
// string cannot be allocated; text is then unchanged.
bool FormatWhole(std::wstring& text, const wchar_t* format, va_list args) noexcept;

} // namespace ETWLogging
