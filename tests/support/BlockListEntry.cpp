#include "support/BlockListEntry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "dll/BlockListKey.h"
#include "utils/CObfuscatedRegKey.h"
#include "utils/UniqueResource.h"

namespace PelmoraTests {

namespace {

using Corvane::BlockListKey;

bool keyExists(const std::wstring& path) {
    Vornix::UniqueRegKey key;
    return RegOpenKeyExW(BlockListKey::root(), path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The list key and the parents of it that a test may have to create: all below "SOFTWARE".
std::vector<std::wstring> listKeyAndParents() {
    const std::wstring list = BlockListKey::listPath();
    std::vector<std::wstring> keys;
    std::size_t slash = list.find(L'\\');
    while ((slash = list.find(L'\\', slash + 1)) != std::wstring::npos) {
        keys.push_back(list.substr(0, slash));
    }
    keys.push_back(list);
    return keys;
}

} // namespace

BlockListEntry::BlockListEntry(const std::wstring& lowerCaseFileName)
    : path_(BlockListKey::pathOf(lowerCaseFileName)) {
    for (const std::wstring& parent : listKeyAndParents()) {
        if (!keyExists(parent)) {
            createdKeys_.push_back(parent);
        }
    }
    Vornix::UniqueRegKey key;
    const LSTATUS created =
        RegCreateKeyExW(BlockListKey::root(), path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (created != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot create the block-list key, error " << created;
    }
}

BlockListEntry::~BlockListEntry() {
    RegDeleteTreeW(BlockListKey::root(), path_.c_str());
    // Only while empty: another test process may keep keys of its own there.
    for (auto key = createdKeys_.rbegin(); key != createdKeys_.rend(); ++key) {
        RegDeleteKeyW(BlockListKey::root(), key->c_str());
    }
}

void BlockListEntry::writeScrambled(const std::wstring& name, const std::wstring& data) const {
    Vornix::CObfuscatedRegKey key;
    ASSERT_EQ(0u, key.Open(BlockListKey::root(), path_.c_str()));
    ASSERT_EQ(0u, key.WriteString(name.c_str(), data.c_str()));
}

void BlockListEntry::writePlain(const std::wstring& name, const std::wstring& data) const {
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(BlockListKey::root(), path_.c_str(), name.c_str(), REG_SZ,
                                             data.c_str(), bytes));
}

} // namespace PelmoraTests
