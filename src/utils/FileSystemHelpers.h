#pragma once

#include <string>

#include <windows.h>

namespace Vornix {

// Paths are limited to MAX_PATH (260) characters wherever a buffer is involved; a longer
// path or pattern is refused (false, or ERROR_FILENAME_EXCED_RANGE 206 where a code is
// returned) rather than cut, since a cut path names a different file. Nothing throws or logs.

bool fileExists(const wchar_t* path);
bool directoryExists(const wchar_t* path);
bool isRegularFile(const wchar_t* path);

// pattern: folder, backslash, wildcard. True when every matching entry was removed.
bool deleteFiles(const wchar_t* pattern, bool recursive);

// The directory with everything in it; a linked directory is removed as a link only.
bool removeDirectory(const wchar_t* path);

// True when the directory exists afterwards; error (optional) gets 0, 183 if it existed,
// 87, 3, 82, 206 or 14. A relative path is taken against the current directory, one with a
// single leading backslash against the current drive; "\\server" and "\\?\" paths as they are.
bool createDirectory(const wchar_t* path, DWORD* error = nullptr);

// Creates every missing level of an absolute path; 0 or a Windows error number (183 when a
// file stands where a directory should be).
DWORD createDirectoryTree(const wchar_t* path);

// The folder (with its trailing backslash when asked) and the file name of a loaded module.
bool splitModulePath(HMODULE module, std::wstring& folder, bool keepTrailingBackslash,
                     std::wstring& fileName);

} // namespace Vornix
