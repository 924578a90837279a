#include "Logging/LogFileLayout.h"

#include <cwchar>
#include <new>

#include "utils/ShlObjAPI.h"
#include "utils/UniqueResource.h"

namespace ETWLogging {

namespace {
const wchar_t* const logRootBelowProgramData = L"\\Halvex\\HXLOGS\\";
const wchar_t* const iniName = L"log.ini";

// The shell answers in HRESULTs; the logging layer speaks Windows error numbers.
DWORD ErrorNumberOf(HRESULT result) {
    return HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : ERROR_INVALID_PARAMETER;
}
} // namespace

LogFileLayout::LogFileLayout(const std::wstring& rootFolder, const wchar_t* group,
                             const std::wstring& executableBaseName, const wchar_t* host)
    : logFolder_(group != nullptr ? rootFolder + group + L'\\' + executableBaseName
                                  : rootFolder + executableBaseName),
      fileStem_(FileStem(logFolder_, executableBaseName, host)) {}

std::wstring LogFileLayout::RootBelow(const std::wstring& programData) {
    return programData + logRootBelowProgramData;
}

std::wstring LogFileLayout::FileStem(const std::wstring& logFolder, const std::wstring& executableBaseName,
                                     const wchar_t* host) {
    std::wstring stem = logFolder + L'\\' + executableBaseName;
    if (host != nullptr && *host != L'\0') {
        stem += L'_';
        stem += host;
    }
    return stem;
}

std::wstring LogFileLayout::NumberedFile(const std::wstring& stem, unsigned index) {
    wchar_t number[16];
    std::swprintf(number, 16, L"%03u", index);
    return stem + number + L".log";
}

DWORD LogFileLayout::RootFolder(std::wstring& folder) {
    Vornix::UniqueCoTaskMemString programData;
    const HRESULT result = Vornix::ShlObjAPI().getKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_CREATE,
                                                                  nullptr, programData.put());
    if (FAILED(result)) {
        return ErrorNumberOf(result);
    }
    try {
        folder = RootBelow(programData.get());
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

std::wstring LogFileLayout::PerExecutableIniPath() const {
    return logFolder_ + L'\\' + iniName;
}

std::wstring LogFileLayout::RootIniPath(const std::wstring& rootFolder) {
    return rootFolder + iniName;
}

std::wstring LogFileLayout::LogFilePath(unsigned index) const {
    return NumberedFile(fileStem_, index);
}

} // namespace ETWLogging
