#pragma once

#include <string>

#include <windows.h>

namespace Corvane {

// Where the library version block list lives: one key per library under the machine's
// list key, named after the library's lower-case file name. A version is blocked by a
// scrambled string value named after it that holds the same text.
class BlockListKey {
public:
    static HKEY root() { return HKEY_LOCAL_MACHINE; }
    // The key that holds the libraries' keys, below root().
    static const wchar_t* listPath() { return L"SOFTWARE\\Halvex\\Tamrok\\List"; }

    // The key of one library, below root(); the file name is taken case-insensitively.
    static std::wstring pathOf(const std::wstring& fileName);

    // As the loader compares names: with the known libraries and with the list's keys.
    static std::wstring lowerCase(std::wstring fileName);

    // An entry blocks the version it is named after only while it holds that same text.
    static bool blocks(const std::wstring& version, const std::wstring& entry) { return entry == version; }
};

} // namespace Corvane
