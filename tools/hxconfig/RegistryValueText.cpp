#include "RegistryValueText.h"

#include <cwchar>

namespace hxconfig {

namespace {
using Lines = std::vector<std::wstring>;

template <typename Number>
DWORD numberText(DWORD (Vornix::CRegKey::*read)(const wchar_t*, Number&), Vornix::CRegKey& key,
                 const wchar_t* name, Lines& lines) {
    Number value = 0;
    const DWORD error = (key.*read)(name, value);
    lines.push_back(std::to_wstring(value));
    return error;
}

DWORD stringText(Vornix::CRegKey& key, const wchar_t* name, Lines& lines) {
    std::wstring text;
    const DWORD error = key.ReadString(name, text);
    lines.push_back(text);
    return error;
}

DWORD listText(Vornix::CRegKey& key, const wchar_t* name, DWORD& type, Lines& lines) {
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

std::wstring hexOf(const std::vector<unsigned char>& bytes) {
    std::wstring hex;
    for (unsigned char byte : bytes) {
        wchar_t digits[3];
        std::swprintf(digits, 3, L"%02x", byte);
        hex += digits;
    }
    return hex;
}

DWORD bytesText(Vornix::CRegKey& key, const wchar_t* name, DWORD& type, Lines& lines) {
    DWORD size = 0;
    if (const DWORD error = key.ReadValue(name, &type, nullptr, &size)) {
        return error;
    }
    std::vector<unsigned char> bytes(size);
    if (const DWORD error = key.ReadValue(name, &type, bytes.data(), &size)) {
        return error;
    }
    lines.push_back(hexOf(bytes));
    return ERROR_SUCCESS;
}
} // namespace

DWORD readValueText(Vornix::CRegKey& key, const wchar_t* name, DWORD& type, Lines& lines) {
    if (const DWORD error = key.ReadValue(name, &type, nullptr, nullptr)) {
        return error;
    }
    switch (type) {
    case REG_DWORD:
        return numberText(&Vornix::CRegKey::ReadDword, key, name, lines);
    case REG_QWORD:
        return numberText(&Vornix::CRegKey::ReadQword, key, name, lines);
    case REG_SZ:
    case REG_EXPAND_SZ:
        return stringText(key, name, lines);
    case REG_MULTI_SZ:
        return listText(key, name, type, lines);
    default:
        return bytesText(key, name, type, lines);
    }
}

} // namespace hxconfig
