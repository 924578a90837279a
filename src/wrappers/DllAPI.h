#pragma once

#include <string>

#include <windows.h>

namespace Corvane {

// The operating system's library calls, with the module trust check in front of every load.
class DllAPI {
public:
    DllAPI() = default;
    virtual ~DllAPI() = default;

    // Loads the file only when it passes isTrustedModule. The handle is null on failure, with
    // the thread's last error set: 87 for an empty path, 5 for a refused file.
    virtual bool loadLibrary(const wchar_t* path, HMODULE* handle);

    // Null when the module has no such export.
    virtual FARPROC getProcAddress(HMODULE module, const char* name);

    // The one place that decides whether a file may be loaded into this process.
    virtual bool isTrustedModule(const std::wstring& path);

    virtual bool freeLibrary(HMODULE module);
};

} // namespace Corvane
