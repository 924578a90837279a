#pragma once

#include <string>

#include <windows.h>

#include "utils/UniqueResource.h"

namespace PelmoraTests {

// Pelmora.dll loaded into the test process, with its exports, as COM and installers call them.
class PelmoraDll {
public:
    // The built DLL beside the test executable.
    static std::wstring defaultPath();

    explicit PelmoraDll(const std::wstring& path = defaultPath());

    HMODULE module() const { return module_.get(); }

    HRESULT getClassObject(REFCLSID classId, REFIID interfaceId, void** object) const;
    HRESULT canUnloadNow() const;
    HRESULT registerServer() const;
    HRESULT unregisterServer() const;
    HRESULT install(BOOL install, const wchar_t* commandLine) const;

private:
    template <typename Function> Function exported(const char* name) const;

    Vornix::UniqueModule module_;
};

} // namespace PelmoraTests
