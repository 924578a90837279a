#pragma once

#include <string>

#include <windows.h>

namespace Corvane {

// File-system calls of the loader, replaceable so that a host or a test can answer them
// differently. The first six go to the product's file-system helpers, readFile and writeFile
// are its own, every other operation forwards unchanged to the Windows function of its name.
class PathAPI {
public:
    virtual ~PathAPI() = default;

    // An existing path that is not a directory; false for an empty path.
    virtual bool fileExists(const std::wstring& path);
    virtual bool directoryExists(const std::wstring& path);
    // What the C runtime's stat calls a regular file.
    virtual bool isRegularFile(const std::wstring& path);
    // pattern: folder, backslash, wildcard; read-only files are deleted too.
    virtual bool deleteFiles(const std::wstring& pattern, bool recursive);
    // With every missing parent; an existing directory counts as success.
    virtual bool createDirectory(const std::wstring& path);
    // With everything in it.
    virtual bool removeDirectory(const std::wstring& path);

    virtual HANDLE createFile(const wchar_t* name, DWORD access, DWORD shareMode,
                              SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flagsAndAttributes,
                              HANDLE templateFile);
    virtual BOOL moveFile(const wchar_t* existingName, const wchar_t* newName);
    virtual BOOL deleteFile(const wchar_t* name);
    virtual BOOL readDirectoryChanges(HANDLE directory, void* buffer, DWORD length, BOOL watchSubtree,
                                      DWORD filter, DWORD* bytesReturned, OVERLAPPED* overlapped,
                                      LPOVERLAPPED_COMPLETION_ROUTINE completionRoutine);
    // Points into path.
    virtual const wchar_t* findFileName(const wchar_t* path);
    virtual DWORD getLongPathName(const wchar_t* shortPath, wchar_t* buffer, DWORD bufferLength);
    virtual DWORD sleepEx(DWORD milliseconds, BOOL alertable);
    virtual BOOL cancelIoEx(HANDLE file, OVERLAPPED* overlapped);
    virtual BOOL closeHandle(HANDLE handle);
    virtual HANDLE findFirstFile(const wchar_t* name, WIN32_FIND_DATAW* findData);
    virtual BOOL findNextFile(HANDLE find, WIN32_FIND_DATAW* findData);
    virtual BOOL findClose(HANDLE find);
    virtual DWORD getLastError();

    // The whole file, each byte becoming one character. False, with text untouched, when the
    // file cannot be opened or read.
    virtual bool readFile(const std::wstring& path, std::wstring& text);
    // Replaces the file with text, each character becoming one byte. False when the file
    // cannot be opened or a character does not fit a byte or the write fails.
    virtual bool writeFile(const std::wstring& path, const std::wstring& text);
};

} // namespace Corvane
