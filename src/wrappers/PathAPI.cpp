#include "wrappers/PathAPI.h"

#include <exception>
#include <fstream>
#include <locale>

#include <shlwapi.h>

#include "utils/FileSystemHelpers.h"

namespace Corvane {

namespace {

// Binary, so that line ends arrive and leave as they are and the length found by seeking
// is the number of characters read; the classic locale turns each byte into one character.
// The runtime opens the file without denying others read or write access.
constexpr std::ios_base::openmode readMode = std::ios_base::in | std::ios_base::binary;
constexpr std::ios_base::openmode writeMode =
    std::ios_base::out | std::ios_base::trunc | std::ios_base::binary;

bool readWholeStream(std::wifstream& stream, std::wstring& content) {
    stream.seekg(0, std::ios_base::end);
    const std::streamoff length = stream.tellg();
    if (length < 0) {
        return false;
    }
    content.resize(static_cast<std::size_t>(length));
    stream.seekg(0, std::ios_base::beg);
    stream.read(content.data(), length);
    // A file that shrank meanwhile gives what was there.
    content.resize(static_cast<std::size_t>(stream.gcount()));
    return !stream.bad();
}

} // namespace

bool PathAPI::fileExists(const std::wstring& path) {
    return Vornix::fileExists(path.c_str());
}

bool PathAPI::directoryExists(const std::wstring& path) {
    return Vornix::directoryExists(path.c_str());
}

bool PathAPI::isRegularFile(const std::wstring& path) {
    return Vornix::isRegularFile(path.c_str());
}

bool PathAPI::deleteFiles(const std::wstring& pattern, bool recursive) {
    return Vornix::deleteFiles(pattern.c_str(), recursive);
}

bool PathAPI::createDirectory(const std::wstring& path) {
    return Vornix::createDirectory(path.c_str());
}

bool PathAPI::removeDirectory(const std::wstring& path) {
    return Vornix::removeDirectory(path.c_str());
}

HANDLE PathAPI::createFile(const wchar_t* name, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security,
                           DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile) {
    return CreateFileW(name, access, shareMode, security, disposition, flagsAndAttributes, templateFile);
}

BOOL PathAPI::moveFile(const wchar_t* existingName, const wchar_t* newName) {
    return MoveFileW(existingName, newName);
}

BOOL PathAPI::deleteFile(const wchar_t* name) {
    return DeleteFileW(name);
}

BOOL PathAPI::readDirectoryChanges(HANDLE directory, void* buffer, DWORD length, BOOL watchSubtree,
                                   DWORD filter, DWORD* bytesReturned, OVERLAPPED* overlapped,
                                   LPOVERLAPPED_COMPLETION_ROUTINE completionRoutine) {
    return ReadDirectoryChangesW(directory, buffer, length, watchSubtree, filter, bytesReturned, overlapped,
                                 completionRoutine);
}

const wchar_t* PathAPI::findFileName(const wchar_t* path) {
    return PathFindFileNameW(path);
}

DWORD PathAPI::getLongPathName(const wchar_t* shortPath, wchar_t* buffer, DWORD bufferLength) {
    return GetLongPathNameW(shortPath, buffer, bufferLength);
}

DWORD PathAPI::sleepEx(DWORD milliseconds, BOOL alertable) {
    return SleepEx(milliseconds, alertable);
}

BOOL PathAPI::cancelIoEx(HANDLE file, OVERLAPPED* overlapped) {
    return CancelIoEx(file, overlapped);
}

BOOL PathAPI::closeHandle(HANDLE handle) {
    return CloseHandle(handle);
}

HANDLE PathAPI::findFirstFile(const wchar_t* name, WIN32_FIND_DATAW* findData) {
    return FindFirstFileW(name, findData);
}

BOOL PathAPI::findNextFile(HANDLE find, WIN32_FIND_DATAW* findData) {
    return FindNextFileW(find, findData);
}

BOOL PathAPI::findClose(HANDLE find) {
    return FindClose(find);
}

DWORD PathAPI::getLastError() {
    return GetLastError();
}

bool PathAPI::readFile(const std::wstring& path, std::wstring& text) {
    try {
        std::wifstream stream;
        stream.imbue(std::locale::classic());
        stream.open(path.c_str(), readMode);
        std::wstring content;
        if (!stream.is_open() || !readWholeStream(stream, content)) {
            return false;
        }
        text = std::move(content);
        return true;
    } catch (const std::exception&) {
        // Out of memory, or the stream's conversion failure.
        return false;
    }
}

bool PathAPI::writeFile(const std::wstring& path, const std::wstring& text) {
    try {
        std::wofstream stream;
        stream.imbue(std::locale::classic());
        stream.open(path.c_str(), writeMode);
        if (!stream.is_open()) {
            return false;
        }
        stream.write(text.data(), static_cast<std::streamsize>(text.size()));
        // Characters are converted when the buffer is flushed, so only closing tells.
        stream.close();
        return !stream.fail();
    } catch (const std::exception&) {
        // The runtime throws from close when a character has no single-byte form.
        return false;
    }
}

} // namespace Corvane
