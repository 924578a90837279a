#include "RegistryTree.h"

#include <vector>

#include "utils/UniqueResource.h"

namespace PelmoraTests {

namespace {
std::wstring valueText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    if (type != REG_SZ) {
        return L"<type " + std::to_wstring(type) + L">";
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

std::map<std::wstring, std::wstring> readValues(HKEY key) {
    std::map<std::wstring, std::wstring> values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        std::vector<BYTE> data(4096);
        auto size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS) {
            return values;
        }
        values[std::wstring(name, nameLength)] = valueText(type, data, size);
    }
}

void readKey(HKEY key, const std::wstring& relative, RegistryTree& tree) {
    tree[relative] = readValues(key);
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return;
        }
        Vornix::UniqueRegKey subkey;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, subkey.put()) == ERROR_SUCCESS) {
            const std::wstring child(name, nameLength);
            readKey(subkey.get(), relative.empty() ? child : relative + L"\\" + child, tree);
        }
    }
}
} // namespace

std::optional<RegistryTree> readRegistryTree(HKEY root, const std::wstring& path) {
    Vornix::UniqueRegKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistryTree tree;
    readKey(key.get(), L"", tree);
    return tree;
}

bool registryKeyExists(HKEY root, const std::wstring& path) {
    Vornix::UniqueRegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::optional<std::wstring> registryDefaultValue(HKEY root, const std::wstring& path) {
    const auto tree = readRegistryTree(root, path);
    if (!tree) {
        return std::nullopt;
    }
    const auto& values = tree->at(L"");
    const auto found = values.find(L"");
    return found != values.end() ? std::optional<std::wstring>(found->second) : std::nullopt;
}

} // namespace PelmoraTests
