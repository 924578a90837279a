#pragma once

#include <string>

#include <windows.h>

namespace hxconfig {

// A file's bytes, or the fact that there was no file, so that a write that went wrong can be
// undone.
class FileSnapshot {
public:
    // Reads the whole file; a missing file is no error. A Windows error number.
    DWORD take(const std::wstring& path);

    const std::string& bytes() const { return bytes_; }

    // Puts the file back as it was taken: the same bytes, or no file. A Windows error number.
    DWORD restore() const;

private:
    std::wstring path_;
    bool existed_ = false;
    std::string bytes_;
};

} // namespace hxconfig
