#pragma once

#include <string>

#include <windows.h>

#include "utils/UniqueResource.h"

namespace ETWLogging {

// The numbered log files of one executable, 000 upwards, and which of them is written now
// ("LastLogIdx" in the per-executable "log.ini"). Callers hold the executable's log mutex.
class CLogFileRing {
public:
    // host empty: names without the host part.
    CLogFileRing(const std::wstring& folder, const std::wstring& baseName, const std::wstring& host,
                 const std::wstring& perLogIniPath);

    // Opens the current file for appending, moving on to the next number first when the
    // current one has reached maxSize, and back to 000 after maxEntries files. 87 without a
    // folder or name, 183 when file is open already, else 0 or the system's error with no
    // file left open.
    DWORD Open(DWORD maxSize, DWORD maxEntries, Vornix::UniqueFileHandle& file) const noexcept;

    // folder\<baseName>[_<host>]<index, three digits at least>.log
    std::wstring FileName(DWORD index) const;

private:
    DWORD OpenAt(DWORD index, DWORD maxSize, DWORD maxEntries, Vornix::UniqueFileHandle& file) const;
    DWORD StartFile(DWORD index, Vornix::UniqueFileHandle& file) const;
    DWORD ReadCurrentIndex() const;
    void StoreCurrentIndex(DWORD index) const;

    const std::wstring& folder_;
    const std::wstring& baseName_;
    const std::wstring& host_;
    const std::wstring& perLogIniPath_;
};

} // namespace ETWLogging
