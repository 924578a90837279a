#pragma once

#include <string>

#include "utils/ShlObjAPI.h"

namespace FileLogTests {

// The common application-data folder moved to a folder of our choice, so that log files
// land there and nowhere else.
class FixedProgramDataShell : public Vornix::ShlObjAPI {
public:
    explicit FixedProgramDataShell(std::wstring folder);
    HRESULT getKnownFolderPath(REFKNOWNFOLDERID id, DWORD flags, HANDLE token, PWSTR* path) override;

private:
    std::wstring folder_;
};

} // namespace FileLogTests
