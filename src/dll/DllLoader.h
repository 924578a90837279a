#pragma once

#include <memory>
#include <string>

#include <windows.h>

#include "wrappers/DllAPI.h"

namespace Corvane {

// Loads, binds and frees sibling libraries through a DllAPI, checking arguments and logging
// every failure. Module handles belong to the caller, who frees them with freeDLL.
class DllLoader {
public:
    // An empty pointer makes the loader use the operating system's DllAPI.
    explicit DllLoader(std::shared_ptr<DllAPI> api = nullptr);
    virtual ~DllLoader() = default;

    // The handle is null when the file was refused or could not be loaded.
    virtual bool loadDLL(const std::wstring& path, HMODULE* handle);

    // Null when the export is absent.
    virtual FARPROC getProcAddress(HMODULE module, const char* name);

    virtual bool freeDLL(HMODULE module);

private:
    std::shared_ptr<DllAPI> dllApi_;
};

} // namespace Corvane
