#pragma once

#include <string>

#include <windows.h>

#include "com/ReplacementMap.h"

namespace Corvane::Com {

// Runs registry scripts (see RegistryScriptParser for the syntax) with %NAME% replacements.
// A script is read whole before the registry is touched: one it does not understand is
// refused with DISP_E_EXCEPTION and writes nothing. Other failures are the HRESULTs of the
// resource and registry calls; E_OUTOFMEMORY when memory runs out.
class Registrar {
public:
    // perUser: the scripts' HKEY_CLASSES_ROOT stands for HKEY_CURRENT_USER\Software\Classes.
    explicit Registrar(bool perUser) : perUser_(perUser) {}

    HRESULT addReplacement(const std::wstring& name, const std::wstring& text) noexcept;

    // A script resource holds UTF-8 (or ASCII) text, read up to its first NUL if it has one.
    HRESULT resourceRegister(HMODULE module, UINT id, const wchar_t* type) noexcept;
    HRESULT resourceUnregister(HMODULE module, UINT id, const wchar_t* type) noexcept;
    HRESULT stringRegister(const std::wstring& script) noexcept;
    HRESULT stringUnregister(const std::wstring& script) noexcept;

    // A text as it must appear between single quotes of a script.
    static std::wstring quoted(const std::wstring& text);

private:
    HRESULT run(const std::wstring& script, bool doRegister) noexcept;
    HRESULT runResource(HMODULE module, UINT id, const wchar_t* type, bool doRegister) noexcept;

    bool perUser_;
    ReplacementMap replacements_;
};

} // namespace Corvane::Com
