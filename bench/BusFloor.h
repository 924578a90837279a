#pragma once

#include <string>

namespace PelmoraBench {

// A file in the bench's own folder.
std::wstring besideExecutable(const wchar_t* name);

// The floor of one report's bus work, done directly on the bus library at libraryPath: load
// it, resolve the four exports, get the function table, acquire a handle, publish one message
// with a header from Message::create, release the handle, unload. False when any step fails.
bool publishDirectly(const std::wstring& libraryPath, const std::wstring& name, const std::wstring& alias,
                     const std::wstring& payload);

// Points the development bus's message log at a file in the temporary folder for the life of
// the object, and removes the file afterwards.
class TemporaryMessageLog {
public:
    explicit TemporaryMessageLog(const wchar_t* fileName);
    ~TemporaryMessageLog();
    TemporaryMessageLog(const TemporaryMessageLog&) = delete;
    TemporaryMessageLog& operator=(const TemporaryMessageLog&) = delete;

    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

} // namespace PelmoraBench
