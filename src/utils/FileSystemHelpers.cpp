#include "utils/FileSystemHelpers.h"

#include <cwchar>
#include <new>
#include <string_view>

#include <sys/stat.h>
#include <sys/types.h>

#include "utils/UniqueResource.h"

namespace Vornix {

namespace {

// The characters a path may have and still fit a MAX_PATH buffer with its NUL.
constexpr std::size_t maxPathLength = MAX_PATH - 1;

bool isEmpty(const wchar_t* path) {
    return path == nullptr || *path == L'\0';
}

bool isDotOrDotDot(const wchar_t* name) {
    return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

bool fitsPathBuffer(const std::wstring& path) {
    return path.size() <= maxPathLength;
}

bool hasAttribute(DWORD attributes, DWORD attribute) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & attribute) != 0;
}

DWORD attributesOf(const wchar_t* path) {
    return isEmpty(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path);
}

// A read-only entry cannot be deleted; its other attributes stay as they are.
void clearReadOnly(const wchar_t* path, DWORD attributes) {
    if (!hasAttribute(attributes, FILE_ATTRIBUTE_READONLY)) {
        return;
    }
    const DWORD rest = attributes & ~FILE_ATTRIBUTE_READONLY;
    SetFileAttributesW(path, rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL);
}

// A directory skipped for want of recursion counts as handled.
bool removeEntry(const std::wstring& folder, const WIN32_FIND_DATAW& entry, bool recursive) {
    const bool isDirectory = hasAttribute(entry.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    if (isDirectory && (!recursive || isDotOrDotDot(entry.cFileName))) {
        return true;
    }
    const std::wstring path = folder + entry.cFileName;
    if (!fitsPathBuffer(path)) {
        return false;
    }
    if (isDirectory) {
        return removeDirectory(path.c_str());
    }
    clearReadOnly(path.c_str(), entry.dwFileAttributes);
    return DeleteFileW(path.c_str()) != FALSE;
}

// Goes on after a failed entry so that as much as possible is gone.
bool removeMatches(const wchar_t* pattern, bool recursive) {
    const std::wstring text(pattern);
    const std::size_t lastBackslash = text.rfind(L'\\');
    if (!fitsPathBuffer(text) || lastBackslash == std::wstring::npos) {
        return false;
    }
    const std::wstring folder = text.substr(0, lastBackslash + 1);
    WIN32_FIND_DATAW entry;
    const UniqueFindHandle find(FindFirstFileW(pattern, &entry));
    if (!find) {
        return false;
    }
    bool removedAll = true;
    do {
        removedAll = removeEntry(folder, entry, recursive) && removedAll;
    } while (FindNextFileW(find.get(), &entry));
    return removedAll;
}

bool removeContents(const wchar_t* directory) {
    const std::wstring pattern = std::wstring(directory) + L"\\*.*";
    return fitsPathBuffer(pattern) && deleteFiles(pattern.c_str(), true);
}

std::wstring currentDirectory() {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    return length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

bool hasDriveLetter(const std::wstring& path) {
    return path.size() >= 2 && path[1] == L':';
}

// "\\server\share" and "\\?\C:\..." already name their volume; putting the current drive in
// front would make a local path of them.
bool namesItsVolume(const std::wstring& path) {
    return path.compare(0, 2, L"\\\\") == 0;
}

std::wstring absolutePath(const std::wstring& path, const std::wstring& current) {
    const bool relative =
        path.find(L'\\') == std::wstring::npos || (path[0] != L'\\' && !hasDriveLetter(path));
    if (relative) {
        return current + L'\\' + path;
    }
    if (path[0] == L'\\' && !namesItsVolume(path)) {
        return current.substr(0, 2) + path;
    }
    return path;
}

DWORD makeDirectory(const wchar_t* path) {
    if (isEmpty(path)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (directoryExists(path)) {
        return ERROR_ALREADY_EXISTS;
    }
    const std::wstring current = currentDirectory();
    if (current.empty()) {
        return ERROR_PATH_NOT_FOUND;
    }
    const std::wstring absolute = absolutePath(path, current);
    if (!fitsPathBuffer(absolute)) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    return createDirectoryTree(absolute.c_str()) == ERROR_SUCCESS ? ERROR_SUCCESS : ERROR_CANNOT_MAKE;
}

DWORD createLevels(const std::wstring& path) {
    if (!fitsPathBuffer(path)) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    if (directoryExists(path.c_str())) {
        return ERROR_SUCCESS;
    }
    const std::size_t firstBackslash = path.find(L'\\');
    if (firstBackslash == std::wstring::npos) {
        return ERROR_SUCCESS;
    }
    const std::size_t lastBackslash = path.rfind(L'\\');
    if (firstBackslash != lastBackslash) {
        if (const DWORD error = createLevels(path.substr(0, lastBackslash))) {
            return error;
        }
    }
    if (CreateDirectoryW(path.c_str(), nullptr)) {
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    // Someone else may just have created it; a file of that name, though, is no directory.
    return error == ERROR_ALREADY_EXISTS && directoryExists(path.c_str()) ? ERROR_SUCCESS : error;
}

} // namespace

bool fileExists(const wchar_t* path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !hasAttribute(attributes, FILE_ATTRIBUTE_DIRECTORY);
}

bool directoryExists(const wchar_t* path) {
    return hasAttribute(attributesOf(path), FILE_ATTRIBUTE_DIRECTORY);
}

bool isRegularFile(const wchar_t* path) {
    if (isEmpty(path)) {
        return false;
    }
    struct _stat status;
    return _wstat(path, &status) == 0 && (status.st_mode & _S_IFREG) != 0;
}

bool deleteFiles(const wchar_t* pattern, bool recursive) {
    if (isEmpty(pattern) || isDotOrDotDot(pattern)) {
        return false;
    }
    try {
        return removeMatches(pattern, recursive);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool removeDirectory(const wchar_t* path) {
    if (isEmpty(path) || isDotOrDotDot(path)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(path);
    if (!hasAttribute(attributes, FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    try {
        // A linked directory goes as a link: emptying it would delete what it points to.
        if (!hasAttribute(attributes, FILE_ATTRIBUTE_REPARSE_POINT) && !removeContents(path)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    clearReadOnly(path, attributes);
    return RemoveDirectoryW(path) != FALSE;
}

bool createDirectory(const wchar_t* path, DWORD* error) {
    DWORD result;
    try {
        result = makeDirectory(path);
    } catch (const std::bad_alloc&) {
        result = ERROR_OUTOFMEMORY;
    }
    if (error != nullptr) {
        *error = result;
    }
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

DWORD createDirectoryTree(const wchar_t* path) {
    if (isEmpty(path)) {
        return ERROR_INVALID_PARAMETER;
    }
    try {
        return createLevels(path);
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

bool splitModulePath(HMODULE module, std::wstring& folder, bool keepTrailingBackslash,
                     std::wstring& fileName) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
    // A full buffer means the name was cut.
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    const std::wstring_view path(buffer, length);
    const std::size_t lastBackslash = path.rfind(L'\\');
    if (lastBackslash == std::wstring_view::npos) {
        return false;
    }
    try {
        std::wstring newFolder(path.substr(0, keepTrailingBackslash ? lastBackslash + 1 : lastBackslash));
        std::wstring newFileName(path.substr(lastBackslash + 1));
        folder.swap(newFolder);
        fileName.swap(newFileName);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace Vornix
