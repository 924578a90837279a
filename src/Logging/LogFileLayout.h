#pragma once

#include <string>

#include <windows.h>

namespace ETWLogging {

// Where the file logger keeps one executable's ring of log files and its settings: below the
// root log folder, a folder per group (when there is one) and per executable. Group and host
// are null for none; empty ones are refused before a layout is made.
class LogFileLayout {
public:
    // executableBaseName: the executable's file name without folder and extension ("dllhost").
    // Throws only std::bad_alloc.
    LogFileLayout(const std::wstring& rootFolder, const wchar_t* group,
                  const std::wstring& executableBaseName, const wchar_t* host);

    // The common application-data folder (created if missing) followed by "\Halvex\HXLOGS\".
    // A Windows error number; folder is left as it was on failure.
    static DWORD RootFolder(std::wstring& folder);
    // The root log folder below a given common application-data folder.
    static std::wstring RootBelow(const std::wstring& programData);
    // "<logFolder>\<exe>[_<host>]": what the numbers and ".log" follow; host null or empty for none.
    static std::wstring FileStem(const std::wstring& logFolder, const std::wstring& executableBaseName,
                                 const wchar_t* host);
    // The stem, the index in at least three digits, ".log".
    static std::wstring NumberedFile(const std::wstring& stem, unsigned index);

    const std::wstring& LogFolder() const { return logFolder_; }
    // The "log.ini" of this executable's folder, which also keeps the index written last.
    std::wstring PerExecutableIniPath() const;
    // The "log.ini" of the root folder, which every executable falls back on.
    static std::wstring RootIniPath(const std::wstring& rootFolder);
    // "<exe>_<host>000.log" and up: at least three digits, so 1000 stays 1000.
    std::wstring LogFilePath(unsigned index) const;

private:
    std::wstring logFolder_; // without one
    std::wstring fileStem_;  // the folder and the name before the index
};

} // namespace ETWLogging
