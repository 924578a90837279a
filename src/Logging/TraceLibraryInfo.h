#pragma once

#include <string>

namespace ETWLogging {

// File name and file version of the module holding this code, read once per process.
class TraceLibraryInfo {
public:
    static const TraceLibraryInfo& Get();

    const std::wstring& fileName() const { return fileName_; }
    const std::wstring& version() const { return version_; }

private:
    TraceLibraryInfo();
    static std::wstring ReadVersion(const std::wstring& path);

    std::wstring fileName_;
    std::wstring version_;
};

} // namespace ETWLogging
