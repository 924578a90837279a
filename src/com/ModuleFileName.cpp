#include "com/ModuleFileName.h"

#include <new>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace Corvane::Com {

HRESULT moduleFileName(HMODULE module, std::wstring& path) noexcept {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
    if (length == 0) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    if (length >= MAX_PATH) {
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    }
    try {
        path.assign(buffer, length);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HMODULE thisModule() noexcept {
    return reinterpret_cast<HMODULE>(&__ImageBase);
}

} // namespace Corvane::Com
