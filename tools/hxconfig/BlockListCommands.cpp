#include "BlockListCommands.h"

#include <string>
#include <vector>

#include <windows.h>

#include "ConsoleText.h"
#include "ToolError.h"
#include "dll/BlockListKey.h"
#include "dll/KnownLibraries.h"
#include "utils/CObfuscatedRegKey.h"
#include "utils/UniqueResource.h"

namespace hxconfig {

namespace {
using Corvane::BlockListKey;

// The loader looks a library up by its bare file name, so nothing else can ever match.
int checkLibraryName(const std::wstring& library) {
    if (library.empty()) {
        return reportUsage(L"the library name is empty");
    }
    if (library.find(L'\\') != std::wstring::npos) {
        return reportUsage(L"\"" + library +
                           L"\" is not a file name: the block list names libraries without a folder");
    }
    return exitOk;
}

// The loader's test: a value named after the version that holds the same text.
bool readsBack(const std::wstring& path, const std::wstring& version) {
    Vornix::CObfuscatedRegKey key;
    std::wstring entry;
    return key.Open(BlockListKey::root(), path.c_str(), KEY_READ) == ERROR_SUCCESS &&
           key.ReadString(version.c_str(), entry) == ERROR_SUCCESS && BlockListKey::blocks(version, entry);
}

int block(const std::wstring& library, const std::wstring& version) {
    if (Corvane::KnownLibraries::contains(BlockListKey::lowerCase(library))) {
        return reportFailure(library +
                             L" is never checked against the block list; an entry would have no effect");
    }
    const std::wstring path = BlockListKey::pathOf(library);
    Vornix::CObfuscatedRegKey key;
    if (const DWORD error = key.Create(BlockListKey::root(), path.c_str())) {
        return reportError(L"cannot create " + path, error);
    }
    if (const DWORD error = key.WriteString(version.c_str(), version.c_str())) {
        return reportError(L"cannot block " + library + L" " + version, error);
    }
    if (!readsBack(path, version)) {
        return reportFailure(path + L"\\" + version + L" does not read back as written");
    }
    return exitOk;
}

int unblock(const std::wstring& library, const std::wstring& version) {
    const std::wstring path = BlockListKey::pathOf(library);
    Vornix::CObfuscatedRegKey key;
    if (const DWORD error = key.Open(BlockListKey::root(), path.c_str(), KEY_READ | KEY_WRITE)) {
        return reportError(L"cannot open " + path, error);
    }
    if (const DWORD error = key.DeleteValue(version.c_str())) {
        return reportError(L"cannot unblock " + library + L" " + version, error);
    }
    return exitOk;
}

std::vector<std::wstring> valueNames(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            return names;
        }
        names.emplace_back(name, length);
    }
}

// Prints the versions that are blocked: values whose scrambled text equals their name.
int listBlocked(const std::wstring& library) {
    const std::wstring path = BlockListKey::pathOf(library);
    Vornix::UniqueRegKey raw;
    if (const LSTATUS error = RegOpenKeyExW(BlockListKey::root(), path.c_str(), 0, KEY_READ, raw.put())) {
        return error == ERROR_FILE_NOT_FOUND ? exitOk : reportError(L"cannot open " + path, error);
    }
    Vornix::CObfuscatedRegKey key;
    if (const DWORD error = key.Open(BlockListKey::root(), path.c_str(), KEY_READ)) {
        return reportError(L"cannot open " + path, error);
    }
    for (const auto& name : valueNames(raw.get())) {
        std::wstring data;
        if (key.ReadString(name.c_str(), data) == ERROR_SUCCESS && BlockListKey::blocks(name, data)) {
            hxtools::writeLine(stdout, name);
        }
    }
    return exitOk;
}
} // namespace

int runBlockListCommand(const std::wstring& verb, const Arguments& arguments) {
    if (arguments.size() != (verb == L"blocked" ? 1u : 2u)) {
        return exitUsage;
    }
    if (const int status = checkLibraryName(arguments[0])) {
        return status;
    }
    if (verb == L"block") {
        return block(arguments[0], arguments[1]);
    }
    if (verb == L"unblock") {
        return unblock(arguments[0], arguments[1]);
    }
    return listBlocked(arguments[0]);
}

} // namespace hxconfig
