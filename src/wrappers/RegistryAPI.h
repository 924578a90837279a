#pragma once

#include <string>

#include <windows.h>

#include "status/ModuleStatus.h"

namespace Corvane {

// Registry reads of the path macros: values under HKEY_LOCAL_MACHINE, key opened for reading
// in the default view for each call.
class RegistryAPI {
public:
    virtual ~RegistryAPI() = default;

    // A REG_SZ or REG_EXPAND_SZ value (not expanded) of at most 259 characters. Any failure
    // gives MODULE_STATUS_UNSUCCESSFUL and leaves text untouched.
    virtual MODULE_STATUS readStringValue(const std::wstring& keyPath, const std::wstring& valueName,
                                          std::wstring& text);
    // A REG_DWORD value; MODULE_STATUS_UNSUCCESSFUL and value untouched on failure.
    virtual MODULE_STATUS readDwordValue(const std::wstring& keyPath, const std::wstring& valueName, DWORD& value);
};

} // namespace Corvane
