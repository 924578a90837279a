#include "RegistryValue.h"

#include <algorithm>
#include <utility>

#include "Arguments.h"
#include "NumberText.h"
#include "ToolError.h"

namespace hxconfig {

namespace {
struct NumberType {
    DWORD type;
    const wchar_t* name;
    unsigned long long max;
};

const NumberType numberTypes[] = {
    {REG_DWORD, L"dword", 0xFFFFFFFFull},
    {REG_QWORD, L"qword", ~0ull},
};

const NumberType* numberTypeNamed(const std::wstring& name) {
    for (const NumberType& candidate : numberTypes) {
        if (name == candidate.name) {
            return &candidate;
        }
    }
    return nullptr;
}

std::wstring listOf(const std::vector<std::wstring>& items) {
    std::wstring list;
    for (const auto& item : items) {
        list += item;
        list += L'\0';
    }
    list += L'\0';
    return list;
}
} // namespace

RegistryValue::RegistryValue(DWORD type, std::vector<std::wstring> lines, unsigned long long number)
    : type_(type), lines_(std::move(lines)), number_(number) {}

int RegistryValue::parse(const std::wstring& typeName, const std::vector<std::wstring>& words,
                         std::optional<RegistryValue>& value) {
    if (typeName == L"multi_sz") {
        return parseList(words, value);
    }
    if (typeName != L"sz" && numberTypeNamed(typeName) == nullptr) {
        return exitUsage;
    }
    if (words.size() != 1) {
        return reportFailure(L"\"" + typeName + L"\" needs exactly one value");
    }
    if (typeName == L"sz") {
        value = RegistryValue(REG_SZ, words);
        return exitOk;
    }
    return parseNumber(typeName, words[0], value);
}

int RegistryValue::parseNumber(const std::wstring& typeName, const std::wstring& word,
                               std::optional<RegistryValue>& value) {
    const NumberType& kind = *numberTypeNamed(typeName);
    const auto number = parseUnsigned(word, kind.max);
    if (!number) {
        return reportFailure(L"\"" + word + L"\" is not a " + typeName +
                             L" (decimal or 0x-hexadecimal, 0 to " + std::to_wstring(kind.max) + L")");
    }
    value = RegistryValue(kind.type, {std::to_wstring(*number)}, *number);
    return exitOk;
}

int RegistryValue::parseList(const std::vector<std::wstring>& words, std::optional<RegistryValue>& value) {
    // The stored list ends at its first empty item: the items after it would be lost.
    if (std::find(words.begin(), words.end(), std::wstring()) != words.end()) {
        return reportUsage(L"multi_sz items cannot be empty: the stored list would end at the first one");
    }
    value = RegistryValue(REG_MULTI_SZ, words);
    return exitOk;
}

DWORD RegistryValue::writeTo(Vornix::CRegKey& key, const std::wstring& name) const {
    switch (type_) {
    case REG_DWORD:
        return key.WriteDword(name.c_str(), static_cast<DWORD>(number_));
    case REG_QWORD:
        return key.WriteQword(name.c_str(), number_);
    case REG_SZ:
        return key.WriteString(name.c_str(), lines_[0].c_str());
    default:
        return key.WriteMultiString(name.c_str(), listOf(lines_).c_str());
    }
}

} // namespace hxconfig
