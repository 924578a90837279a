#include "RegistryValueText.h"

#include <cwchar>

namespace hxconfig {

DWORD readValueText(Vornix::CRegKey& key, const wchar_t* name, DWORD& type,
                    std::vector<std::wstring>& lines) {
    if (const DWORD error = key.ReadValue(name, &type, nullptr, nullptr)) {
        return error;
    }
    switch (type) {
    case REG_DWORD: {
        DWORD value = 0;
        const DWORD error = key.ReadDword(name, value);
        lines.push_back(std::to_wstring(value));
        return error;
    }
    case REG_QWORD: {
        ULONGLONG value = 0;
        const DWORD error = key.ReadQword(name, value);
        lines.push_back(std::to_wstring(value));
        return error;
    }
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::wstring text;
        const DWORD error = key.ReadString(name, text);
        lines.push_back(text);
        return error;
    }
    case REG_MULTI_SZ: {
        DWORD bytes = 0;
        if (const DWORD error = key.ReadValue(name, &type, nullptr, &bytes)) {
            return error;
        }
        std::vector<wchar_t> list(bytes / sizeof(wchar_t) + 2, L'\0');
        DWORD count = static_cast<DWORD>(list.size());
        if (const DWORD error = key.ReadMultiString(name, list.data(), &count)) {
            return error;
        }
        for (const wchar_t* item = list.data(); *item != L'\0'; item += std::wcslen(item) + 1) {
            lines.emplace_back(item);
        }
        return ERROR_SUCCESS;
    }
    default: {
        DWORD size = 0;
        if (const DWORD error = key.ReadValue(name, &type, nullptr, &size)) {
            return error;
        }
        std::vector<unsigned char> bytes(size);
        if (const DWORD error = key.ReadValue(name, &type, bytes.data(), &size)) {
            return error;
        }
        std::wstring hex;
        for (unsigned char byte : bytes) {
            wchar_t digits[3];
            std::swprintf(digits, 3, L"%02x", byte);
            hex += digits;
        }
        lines.push_back(hex);
        return ERROR_SUCCESS;
    }
    }
}

} // namespace hxconfig
