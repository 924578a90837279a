#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "utils/CBaseIniReader.h"

namespace Vornix {

// INI values stored scrambled: entry "_" + name holds a header with the value's type and
// the MD5 of the scrambled bytes, entry name the bytes themselves, both in the platform's
// private-profile struct format. In mode MODE_SCRAMBLED_ONLY a value is visible only when
// it was descrambled intact or written by this object, so plain or edited values count as
// absent.
class CObfuscatedIniReader : public CBaseIniReader {
  public:
    static constexpr std::uint32_t MODE_SCRAMBLED_ONLY = 1;
    static constexpr std::uint32_t VALUE_TYPE_TEXT = 1;
    static constexpr std::uint32_t VALUE_TYPE_INTEGER = 4;

    explicit CObfuscatedIniReader(std::uint32_t mode) : mode_(mode) {}

    bool Load(const std::wstring& path) override;
    bool GetInt(const std::wstring& section, const std::wstring& name, int& value) const override;
    bool GetText(const std::wstring& section, const std::wstring& name, std::wstring& text) const override;
    bool GetIntByPath(const std::wstring& path, int& value) const override;
    bool GetTextByPath(const std::wstring& path, std::wstring& text) const override;
    bool GetSection(const std::wstring& section,
                    std::map<std::wstring, std::wstring>& entries) const override;
    bool WriteInt(const std::wstring& section, const std::wstring& name, int value) override;
    bool WriteText(const std::wstring& section, const std::wstring& name, const std::wstring& text) override;
    bool Store(const std::wstring& section, const std::wstring& name, const std::wstring& value,
               bool overwrite) override;

  private:
    struct Entry {
        std::wstring value;
        bool decoded = false;
        std::uint32_t type = VALUE_TYPE_TEXT;
    };
    using EntryTable = std::unordered_map<std::wstring, Entry>;
    // Header texts by section and by the name of the entry they describe.
    using HeaderTable = std::unordered_map<std::wstring, std::unordered_map<std::wstring, std::wstring>>;

    static bool SplitPath(const std::wstring& path, std::wstring& section, std::wstring& name);
    static bool ToInt(const std::wstring& text, int& value);
    static bool IsHeader(const std::wstring& name, const std::wstring& value);
    static void Decode(const std::wstring& headerText, Entry& entry);

    bool LookUp(const std::wstring& section, const std::wstring& name, std::wstring& text) const;
    void DecodeEntries();
    bool WriteScrambled(const std::wstring& section, const std::wstring& name, std::uint32_t type,
                        std::vector<std::uint8_t>& payload) const;

    HeaderTable headers_;
    std::unordered_map<std::wstring, EntryTable> sections_;
    std::uint32_t mode_;
};

} // namespace Vornix
