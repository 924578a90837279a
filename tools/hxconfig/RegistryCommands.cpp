#include "RegistryCommands.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "ConsoleText.h"
#include "RegistryPath.h"
#include "RegistryValue.h"
#include "RegistryValueText.h"
#include "ToolError.h"
#include "utils/CObfuscatedRegKey.h"

namespace hxconfig {

namespace {
int get(const RegistryPath& path, const std::wstring& name) {
    Vornix::CObfuscatedRegKey key;
    const std::wstring where = path.subKey + L"\\" + name;
    if (const DWORD error = key.Open(path.root, path.subKey.c_str(), KEY_READ)) {
        return reportError(L"cannot open " + path.subKey, error);
    }
    DWORD type = 0;
    std::vector<std::wstring> lines;
    if (const DWORD error = readValueText(key, name.c_str(), type, lines)) {
        return reportError(L"cannot read " + where, error);
    }
    for (const auto& line : lines) {
        hxtools::writeLine(stdout, line);
    }
    return exitOk;
}

// Through a key of its own, as the product would read the value.
bool readsBack(const RegistryPath& path, const std::wstring& name, const RegistryValue& value) {
    Vornix::CObfuscatedRegKey key;
    DWORD type = 0;
    std::vector<std::wstring> lines;
    return key.Open(path.root, path.subKey.c_str(), KEY_READ) == ERROR_SUCCESS &&
           readValueText(key, name.c_str(), type, lines) == ERROR_SUCCESS && type == value.type() &&
           lines == value.lines();
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
    if (!readsBack(path, name, *value)) {
        return reportFailure(path.subKey + L"\\" + name + L" does not read back as written");
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
