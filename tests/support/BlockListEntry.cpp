#include "support/BlockListEntry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "utils/CObfuscatedRegKey.h"
#include "utils/UniqueResource.h"

namespace PelmoraTests {

namespace {

const wchar_t* const blockListKeys[] = {L"SOFTWARE\\Halvex", L"SOFTWARE\\Halvex\\Tamrok",
                                        L"SOFTWARE\\Halvex\\Tamrok\\List"};

bool keyExists(const std::wstring& path) {
    Vornix::UniqueRegKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

} // namespace

BlockListEntry::BlockListEntry(const std::wstring& lowerCaseFileName)
    : path_(std::wstring(blockListKeys[2]) + L"\\" + lowerCaseFileName) {
    for (const wchar_t* parent : blockListKeys) {
        if (!keyExists(parent)) {
            createdKeys_.push_back(parent);
        }
    }
    Vornix::UniqueRegKey key;
    const LSTATUS created =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (created != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot create the block-list key, error " << created;
    }
}

BlockListEntry::~BlockListEntry() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
    // Only while empty: another test process may keep keys of its own there.
    for (auto key = createdKeys_.rbegin(); key != createdKeys_.rend(); ++key) {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, key->c_str());
    }
}

void BlockListEntry::writeScrambled(const std::wstring& name, const std::wstring& data) const {
    Vornix::CObfuscatedRegKey key;
    ASSERT_EQ(0u, key.Open(HKEY_LOCAL_MACHINE, path_.c_str()));
    ASSERT_EQ(0u, key.WriteString(name.c_str(), data.c_str()));
}

void BlockListEntry::writePlain(const std::wstring& name, const std::wstring& data) const {
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(HKEY_LOCAL_MACHINE, path_.c_str(), name.c_str(), REG_SZ, data.c_str(), bytes));
}

} // namespace PelmoraTests
