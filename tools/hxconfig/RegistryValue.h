#pragma once

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "utils/CRegKey.h"

namespace hxconfig {

// A value as the words of "reg set" give it, checked before anything is written.
class RegistryValue {
public:
    // Sets value and returns exitOk, or says on standard error why the words make no value of
    // the type (dword, qword, sz or multi_sz) and returns the exit status.
    static int parse(const std::wstring& type, const std::vector<std::wstring>& words,
                     std::optional<RegistryValue>& value);

    DWORD writeTo(Vornix::CRegKey& key, const std::wstring& name) const;

    DWORD type() const { return type_; }
    // As "reg get" prints the value: one line per list item, numbers in decimal.
    const std::vector<std::wstring>& lines() const { return lines_; }

private:
    RegistryValue(DWORD type, std::vector<std::wstring> lines, unsigned long long number = 0);

    static int parseList(const std::vector<std::wstring>& words, std::optional<RegistryValue>& value);
    static int parseNumber(const std::wstring& typeName, const std::wstring& word,
                           std::optional<RegistryValue>& value);

    DWORD type_;
    std::vector<std::wstring> lines_;
    unsigned long long number_;
};

} // namespace hxconfig
