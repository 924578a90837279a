#pragma once

#include <string>
#include <vector>

#include <windows.h>

// A fresh folder under the user's temporary folder, removed with all it holds (read-only
// entries included) when the test ends.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring pathOf(const std::wstring& relative) const { return path_ + L'\\' + relative; }

    std::wstring makeFile(const std::wstring& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;
    std::wstring makeFolder(const std::wstring& relative) const;

    // Every entry below the folder as a sorted relative path.
    std::vector<std::wstring> entries() const;

  private:
    std::wstring path_;
};
