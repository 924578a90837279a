#include "RegistryPath.h"

namespace hxconfig {

namespace {
struct Root {
    const wchar_t* shortName;
    const wchar_t* longName;
    HKEY key;
};

const Root roots[] = {
    {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKU", L"HKEY_USERS", HKEY_USERS},
};
} // namespace

std::optional<RegistryPath> parseRegistryPath(const std::wstring& text) {
    const std::size_t separator = text.find(L'\\');
    if (separator == std::wstring::npos || separator + 1 == text.size()) {
        return std::nullopt;
    }
    const std::wstring rootName = text.substr(0, separator);
    for (const Root& root : roots) {
        if (_wcsicmp(rootName.c_str(), root.shortName) == 0 || _wcsicmp(rootName.c_str(), root.longName) == 0) {
            return RegistryPath{root.key, text.substr(separator + 1)};
        }
    }
    return std::nullopt;
}

} // namespace hxconfig
