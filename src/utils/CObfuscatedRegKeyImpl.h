#pragma once

#include <windows.h>

#include "utils/CRegKeyImpl.h"

namespace Vornix {

// Stores every value as one scrambled REG_BINARY blob: a 32-byte "HXRG" header naming the
// original type, with an MD5 digest over the whole blob, then the scrambled payload. A value
// that is plain or was edited by hand reads as ERROR_INVALID_DATA (13).
class CObfuscatedRegKeyImpl : public internal::CRegKeyImpl {
public:
    DWORD ReadValue(const wchar_t* name, DWORD* type, void* buffer, DWORD* size) override;
    DWORD WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size) override;

    static constexpr DWORD HEADER_SIZE = 32;
};

} // namespace Vornix
