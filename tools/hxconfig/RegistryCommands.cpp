#include "RegistryCommands.h"

#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "ConsoleText.h"
#include "RegistryPath.h"
#include "RegistryValue.h"
#include "ToolError.h"
#include "utils/CObfuscatedRegKey.h"

namespace hxconfig {

namespace {
// The value as text: numbers in decimal, a list one string a line, bytes in hex.
DWORD readAsText(Vornix::CRegKey& key, const wchar_t* name, std::vector<std::wstring>& lines) {
    DWORD type = 0;
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

int get(const RegistryPath& path, const std::wstring& name) {
    Vornix::CObfuscatedRegKey key;
    const std::wstring where = path.subKey + L"\\" + name;
    if (const DWORD error = key.Open(path.root, path.subKey.c_str(), KEY_READ)) {
        return reportError(L"cannot open " + path.subKey, error);
    }
    std::vector<std::wstring> lines;
    if (const DWORD error = readAsText(key, name.c_str(), lines)) {
        return reportError(L"cannot read " + where, error);
    }
    for (const auto& line : lines) {
        hxtools::writeLine(stdout, line);
    }
    return exitOk;
}

int set(const RegistryPath& path, const std::wstring& name, const std::wstring& type,
        const std::vector<std::wstring>& words) {
    std::optional<RegistryValue> value;
    if (const int status = RegistryValue::parse(type, words, value)) {
        return status;
    }
    Vornix::CObfuscatedRegKey key;
    if (const DWORD error = key.Create(path.root, path.subKey.c_str())) {
        return reportError(L"cannot create " + path.subKey, error);
    }
    if (const DWORD error = value->writeTo(key, name)) {
        return reportError(L"cannot write " + path.subKey + L"\\" + name, error);
    }
    return exitOk;
}

int remove(const RegistryPath& path, const std::wstring& name) {
    Vornix::CObfuscatedRegKey key;
    if (const DWORD error = key.Open(path.root, path.subKey.c_str(), KEY_READ | KEY_WRITE)) {
        return reportError(L"cannot open " + path.subKey, error);
    }
    if (const DWORD error = key.DeleteValue(name.c_str())) {
        return reportError(L"cannot delete " + path.subKey + L"\\" + name, error);
    }
    return exitOk;
}
} // namespace

int runRegistryCommand(const Arguments& arguments) {
    if (arguments.size() < 3) {
        return exitUsage;
    }
    const auto path = parseRegistryPath(arguments[1]);
    if (!path) {
        return exitUsage;
    }
    const std::wstring& verb = arguments[0];
    if (verb == L"get" && arguments.size() == 3) {
        return get(*path, arguments[2]);
    }
    if (verb == L"delete" && arguments.size() == 3) {
        return remove(*path, arguments[2]);
    }
    if (verb == L"set" && arguments.size() >= 5) {
        return set(*path, arguments[2], arguments[3],
                   std::vector<std::wstring>(arguments.begin() + 4, arguments.end()));
    }
    return exitUsage;
}

} // namespace hxconfig
