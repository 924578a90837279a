#pragma once

#include <string>

#include <windows.h>

namespace Corvane::Com {

// The file of a loaded module. A path longer than MAX_PATH - 1 characters gives
// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) rather than a cut one.
HRESULT moduleFileName(HMODULE module, std::wstring& path) noexcept;

// The module this code is linked into.
HMODULE thisModule() noexcept;

} // namespace Corvane::Com
