#pragma once

#include <string>

#include <windows.h>

// Makes a folder the current directory for one test and restores the previous one after it.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const std::wstring& folder) {
        wchar_t previous[MAX_PATH];
        const DWORD length = GetCurrentDirectoryW(MAX_PATH, previous);
        previous_.assign(previous, length < MAX_PATH ? length : 0);
        SetCurrentDirectoryW(folder.c_str());
    }
    ~WorkingDirectory() { SetCurrentDirectoryW(previous_.c_str()); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

  private:
    std::wstring previous_;
};
