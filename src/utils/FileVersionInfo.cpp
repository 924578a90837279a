#include "utils/FileVersionInfo.h"

#include <cwchar>
#include <new>

namespace Vornix {

namespace {

// Each translation entry is a language id followed by a code page, 16 bits each.
struct TranslationEntry {
    WORD language;
    WORD codePage;
};

std::vector<TranslationEntry> translationsOf(const void* versionData) {
    void* table = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(versionData, L"\\VarFileInfo\\Translation", &table, &bytes) || table == nullptr) {
        return {};
    }
    const auto* first = static_cast<const TranslationEntry*>(table);
    return {first, first + bytes / sizeof(TranslationEntry)};
}

std::wstring stringBlockPath(const TranslationEntry& entry, const std::wstring& valueName) {
    wchar_t block[32];
    swprintf(block, sizeof(block) / sizeof(block[0]), L"\\StringFileInfo\\%04X%04X\\", entry.language,
             entry.codePage);
    // Built without a fixed limit: a name cut to fit a buffer would ask for another value.
    return block + valueName;
}

bool queryString(const void* versionData, const TranslationEntry& entry, const std::wstring& valueName,
                 std::wstring& value) {
    void* text = nullptr;
    UINT characters = 0;
    if (!VerQueryValueW(versionData, stringBlockPath(entry, valueName).c_str(), &text, &characters)) {
        return false;
    }
    // The reported length bounds the read in case the resource lacks its terminating NUL.
    const auto* begin = static_cast<const wchar_t*>(text);
    value.assign(begin, begin == nullptr ? 0 : wcsnlen(begin, characters));
    return true;
}

} // namespace

bool FileVersionInfo::load(const std::wstring& filePath) {
    if (loaded_) {
        return false;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(filePath.c_str(), &ignored);
    if (size == 0) {
        return false;
    }
    try {
        versionData_.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    loaded_ = GetFileVersionInfoW(filePath.c_str(), 0, size, versionData_.data()) == 1;
    return loaded_;
}

std::wstring FileVersionInfo::getStringValue(const std::wstring& valueName) const {
    if (!loaded_) {
        return {};
    }
    try {
        std::wstring value;
        for (const TranslationEntry& entry : translationsOf(versionData_.data())) {
            if (queryString(versionData_.data(), entry, valueName, value)) {
                return value;
            }
        }
    } catch (const std::bad_alloc&) {
    }
    return {};
}

} // namespace Vornix
