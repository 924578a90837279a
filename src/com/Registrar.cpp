#include "com/Registrar.h"

#include <new>

#include "com/RegistryScript.h"
#include "com/RegistryScriptParser.h"
#include "com/RegistryScriptRunner.h"

namespace Corvane::Com {

namespace {
HRESULT lastError() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

HRESULT loadScript(HMODULE module, UINT id, const wchar_t* type, std::wstring& script) {
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const auto* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (bytes == nullptr) {
        return lastError();
    }
    const DWORD size = SizeofResource(module, resource);
    int length = 0;
    while (static_cast<DWORD>(length) < size && bytes[length] != '\0') {
        ++length;
    }
    if (length == 0) {
        script.clear();
        return S_OK;
    }
    const int characters = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0);
    if (characters == 0) {
        return DISP_E_EXCEPTION;
    }
    std::wstring text(static_cast<std::size_t>(characters), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, length, text.data(), characters);
    if (!text.empty() && text.front() == L'\xFEFF') {
        text.erase(0, 1);
    }
    script = std::move(text);
    return S_OK;
}
} // namespace

HRESULT Registrar::addReplacement(const std::wstring& name, const std::wstring& text) noexcept {
    try {
        replacements_.add(name, text);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT Registrar::resourceRegister(HMODULE module, UINT id, const wchar_t* type) noexcept {
    return runResource(module, id, type, true);
}

HRESULT Registrar::resourceUnregister(HMODULE module, UINT id, const wchar_t* type) noexcept {
    return runResource(module, id, type, false);
}

HRESULT Registrar::stringRegister(const std::wstring& script) noexcept {
    return run(script, true);
}

HRESULT Registrar::stringUnregister(const std::wstring& script) noexcept {
    return run(script, false);
}

std::wstring Registrar::quoted(const std::wstring& text) {
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        result.push_back(c);
        if (c == L'\'') {
            result.push_back(c);
        }
    }
    return result;
}

HRESULT Registrar::runResource(HMODULE module, UINT id, const wchar_t* type, bool doRegister) noexcept {
    try {
        std::wstring script;
        const HRESULT loaded = loadScript(module, id, type, script);
        return FAILED(loaded) ? loaded : run(script, doRegister);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT Registrar::run(const std::wstring& script, bool doRegister) noexcept {
    try {
        std::wstring expanded;
        RegistryScript parsed;
        HRESULT result = replacements_.expand(script, expanded);
        if (SUCCEEDED(result)) {
            result = RegistryScriptParser::parse(expanded, parsed);
        }
        if (FAILED(result)) {
            return result;
        }
        const RegistryScriptRunner runner(perUser_);
        return doRegister ? runner.registerScript(parsed) : runner.unregisterScript(parsed);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace Corvane::Com
