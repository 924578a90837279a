#pragma once

#include <string>
#include <vector>

namespace PelmoraTests {

// The machine's library version block-list key for one lower-case file name, made for a test.
// The destructor removes it, and the parent keys that did not exist before, again.
class BlockListEntry {
public:
    explicit BlockListEntry(const std::wstring& lowerCaseFileName);
    ~BlockListEntry();
    BlockListEntry(const BlockListEntry&) = delete;
    BlockListEntry& operator=(const BlockListEntry&) = delete;

    // Scrambled, as the product stores its own settings.
    void writeScrambled(const std::wstring& name, const std::wstring& data) const;
    // A plain REG_SZ value, which counts as absent.
    void writePlain(const std::wstring& name, const std::wstring& data) const;

private:
    std::wstring path_;
    std::vector<std::wstring> createdKeys_; // parents that were missing, deepest last
};

} // namespace PelmoraTests
