#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace Vornix {

// String values of a file's version resource, read once, in the languages the file declares.
// Nothing throws or logs: failures give false or an empty string.
class FileVersionInfo {
public:
    FileVersionInfo() = default;
    virtual ~FileVersionInfo() = default;

    // False when already loaded (the first file's data stays), without a version resource, or
    // when reading it failed.
    virtual bool load(const std::wstring& filePath);

    // The value from the first translation that has it; empty when none has it or nothing is loaded.
    virtual std::wstring getStringValue(const std::wstring& valueName) const;

private:
    std::vector<BYTE> versionData_;
    bool loaded_ = false;
};

} // namespace Vornix
