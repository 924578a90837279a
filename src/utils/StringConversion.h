#pragma once

#include <cstddef>
#include <memory>

#include <windows.h>

namespace Vornix {

// Conversions between UTF-16 and multi-byte text, single strings and multi-string lists
// (NUL-terminated strings one after another, ended by an empty string). Results are
// Windows error numbers: 0, ERROR_INVALID_PARAMETER (87), ERROR_MORE_DATA (234),
// ERROR_OUTOFMEMORY (14), or the error of the system conversion. Nothing throws.

// size: in the buffer's capacity in bytes, out the bytes needed or written, NUL included.
DWORD toMultiByte(UINT codePage, const wchar_t* text, char* buffer, DWORD* size);

// size: in the buffer's capacity in characters, out the characters needed or written, NUL included.
DWORD toWideChar(UINT codePage, const char* text, wchar_t* buffer, DWORD* size);

// size in bytes, in and out.
DWORD utf8ToWide(const char* text, wchar_t* buffer, DWORD* size);

// size in bytes of the whole wide list, in and out.
DWORD utf8ListToWide(const char* list, wchar_t* buffer, DWORD* size);

// On success buffer owns the bytes and length counts them with the terminating NUL.
DWORD wideToUtf8(const wchar_t* text, std::unique_ptr<char[]>& buffer, DWORD* length);

// The buffer starts at step bytes and grows by step bytes (a step of 0 gives 87); length
// counts the final NUL.
DWORD wideListToUtf8(const wchar_t* list, DWORD step, std::unique_ptr<char[]>& buffer, DWORD* length);

} // namespace Vornix
