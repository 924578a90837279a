#include "com/RegistryScriptRunner.h"

#include "utils/UniqueResource.h"

namespace Corvane::Com {

namespace {
constexpr REGSAM access = KEY_READ | KEY_WRITE;
constexpr const wchar_t* perUserClasses = L"Software\\Classes";

bool missing(LSTATUS status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

LSTATUS deleteTree(HKEY parent, const std::wstring& name) {
    const LSTATUS status = RegDeleteTreeW(parent, name.c_str());
    return missing(status) ? ERROR_SUCCESS : status;
}

LSTATUS setString(HKEY key, const RegistryScript::Value& value) {
    const auto bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, value.name.empty() ? nullptr : value.name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.text.c_str()), bytes);
}

LSTATUS deleteValue(HKEY key, const RegistryScript::Value& value) {
    const LSTATUS status = RegDeleteValueW(key, value.name.empty() ? nullptr : value.name.c_str());
    return missing(status) ? ERROR_SUCCESS : status;
}

bool hasSubkeys(HKEY key) {
    DWORD count = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
           count != 0;
}
} // namespace

HRESULT RegistryScriptRunner::registerScript(const RegistryScript& script) const noexcept {
    for (const auto& root : script.roots) {
        Vornix::UniqueRegKey classes;
        HKEY parent = root.key;
        if (redirected(root.key)) {
            const LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, perUserClasses, 0, nullptr, 0, access,
                                                   nullptr, classes.put(), nullptr);
            if (status != ERROR_SUCCESS) {
                return HRESULT_FROM_WIN32(status);
            }
            parent = classes.get();
        }
        for (const auto& key : root.keys) {
            if (const HRESULT result = registerKey(parent, key); FAILED(result)) {
                return result;
            }
        }
    }
    return S_OK;
}

HRESULT RegistryScriptRunner::unregisterScript(const RegistryScript& script) const noexcept {
    for (const auto& root : script.roots) {
        Vornix::UniqueRegKey classes;
        HKEY parent = root.key;
        if (redirected(root.key)) {
            const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, perUserClasses, 0, access, classes.put());
            if (missing(status)) {
                continue;
            }
            if (status != ERROR_SUCCESS) {
                return HRESULT_FROM_WIN32(status);
            }
            parent = classes.get();
        }
        for (const auto& key : root.keys) {
            if (const HRESULT result = unregisterKey(parent, key); FAILED(result)) {
                return result;
            }
        }
    }
    return S_OK;
}

HRESULT RegistryScriptRunner::registerKey(HKEY parent, const RegistryScript::Key& key) const {
    if (key.removal == RegistryScript::Removal::ForceRemove) {
        if (const LSTATUS status = deleteTree(parent, key.name); status != ERROR_SUCCESS) {
            return HRESULT_FROM_WIN32(status);
        }
    }
    Vornix::UniqueRegKey created;
    LSTATUS status =
        RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, 0, access, nullptr, created.put(), nullptr);
    for (auto value = key.values.begin(); status == ERROR_SUCCESS && value != key.values.end(); ++value) {
        status = setString(created.get(), *value);
    }
    if (status != ERROR_SUCCESS) {
        return HRESULT_FROM_WIN32(status);
    }
    for (const auto& subkey : key.subkeys) {
        if (const HRESULT result = registerKey(created.get(), subkey); FAILED(result)) {
            return result;
        }
    }
    return S_OK;
}

// A NoRemove key stays as it is; keys of others below a plain key keep it (without our values);
// a ForceRemove key goes with all below it.
HRESULT RegistryScriptRunner::unregisterKey(HKEY parent, const RegistryScript::Key& key) const {
    if (key.removal == RegistryScript::Removal::ForceRemove) {
        const LSTATUS status = deleteTree(parent, key.name);
        return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
    }
    Vornix::UniqueRegKey opened;
    LSTATUS status = RegOpenKeyExW(parent, key.name.c_str(), 0, access, opened.put());
    if (missing(status)) {
        return S_OK;
    }
    if (status != ERROR_SUCCESS) {
        return HRESULT_FROM_WIN32(status);
    }
    for (const auto& subkey : key.subkeys) {
        if (const HRESULT result = unregisterKey(opened.get(), subkey); FAILED(result)) {
            return result;
        }
    }
    if (key.removal == RegistryScript::Removal::NoRemove) {
        return S_OK;
    }
    for (auto value = key.values.begin(); status == ERROR_SUCCESS && value != key.values.end(); ++value) {
        status = deleteValue(opened.get(), *value);
    }
    if (status != ERROR_SUCCESS || hasSubkeys(opened.get())) {
        return HRESULT_FROM_WIN32(status);
    }
    opened.reset();
    status = RegDeleteKeyW(parent, key.name.c_str());
    return missing(status) ? S_OK : HRESULT_FROM_WIN32(status);
}

bool RegistryScriptRunner::redirected(HKEY root) const {
    return perUser_ && root == HKEY_CLASSES_ROOT;
}

} // namespace Corvane::Com
