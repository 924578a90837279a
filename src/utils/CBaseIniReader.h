#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <new>
#include <string>

namespace Vornix {

// Reads an INI file (ANSI text) line by line and hands every entry to Store; subclasses
// decide what they keep. Sections are trimmed; entries before the first section belong to
// the section "". A path names an entry as section, ".", name: the section ends at the
// first dot. Nothing throws; running out of memory makes an operation fail.
class CBaseIniReader {
  public:
    CBaseIniReader() = default;
    virtual ~CBaseIniReader() = default;

    // False for an empty path (nothing changes) or a file that cannot be read. The path is
    // kept for later writes unless the file exists but cannot be opened.
    virtual bool Load(const std::wstring& path);
    virtual bool GetInt(const std::wstring& section, const std::wstring& name, int& value) const;
    virtual bool GetText(const std::wstring& section, const std::wstring& name, std::wstring& text) const;
    virtual bool GetIntByPath(const std::wstring& path, int& value) const = 0;
    virtual bool GetTextByPath(const std::wstring& path, std::wstring& text) const = 0;
    // Adds the section's entries to entries; false when there is no such section.
    virtual bool GetSection(const std::wstring& section,
                            std::map<std::wstring, std::wstring>& entries) const = 0;
    // Writes into the file of the last Load; false when there is none.
    virtual bool WriteInt(const std::wstring& section, const std::wstring& name, int value);
    virtual bool WriteText(const std::wstring& section, const std::wstring& name, const std::wstring& text);
    // True when the value was kept as an entry.
    virtual bool Store(const std::wstring& section, const std::wstring& name, const std::wstring& value,
                       bool overwrite) = 0;

    std::uint32_t SectionCount() const { return sectionCount_; }
    std::uint32_t EntryCount() const { return entryCount_; }

  protected:
    virtual void ParseLine(const std::string& line);

    const std::wstring& Path() const { return path_; }

    // Text in the thread's ANSI code page; size bytes, which may include zeros.
    static bool AnsiToWide(const char* text, std::size_t size, std::wstring& wide);

    template <typename Operation> static bool WithoutThrowing(Operation&& operation) noexcept {
        try {
            return operation();
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

  private:
    bool LoadFile(const std::wstring& path);
    void ReadLines(std::FILE* file);
    void EnterSection(const std::wstring& section);

    std::wstring path_;
    std::wstring currentSection_;
    std::uint32_t sectionCount_ = 0;
    std::uint32_t entryCount_ = 0;
};

} // namespace Vornix
