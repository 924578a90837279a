#include "Logging/CLogFileRing.h"

#include <cwchar>
#include <new>

#include "Logging/LogFileDefaults.h"
#include "Logging/LogFileLayout.h"
#include "utils/CObfuscatedIniReader.h"
#include "utils/FileSystemHelpers.h"

namespace ETWLogging {

namespace {

using Vornix::UniqueFileHandle;

const BYTE byteOrderMark[] = {0xFF, 0xFE};

DWORD OpenFile(const std::wstring& name, DWORD disposition, UniqueFileHandle& file) {
    file.reset(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, disposition, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE, nullptr));
    return file ? ERROR_SUCCESS : GetLastError();
}

DWORD CreateWithByteOrderMark(const std::wstring& name, UniqueFileHandle& file) {
    if (const DWORD error = OpenFile(name, CREATE_ALWAYS, file)) {
        return error;
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), byteOrderMark, sizeof byteOrderMark, &written, nullptr)) {
        const DWORD error = GetLastError();
        file.reset();
        return error;
    }
    return ERROR_SUCCESS;
}

DWORD OpenAtEnd(const std::wstring& name, UniqueFileHandle& file) {
    if (const DWORD error = OpenFile(name, OPEN_EXISTING, file)) {
        return error;
    }
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_END)) {
        const DWORD error = GetLastError();
        file.reset();
        return error;
    }
    return ERROR_SUCCESS;
}

} // namespace

CLogFileRing::CLogFileRing(const std::wstring& folder, const std::wstring& baseName, const std::wstring& host,
                           const std::wstring& perLogIniPath)
    : folder_(folder), baseName_(baseName), host_(host), perLogIniPath_(perLogIniPath) {}

std::wstring CLogFileRing::FileName(DWORD index) const {
    return LogFileLayout::NumberedFile(LogFileLayout::FileStem(folder_, baseName_, host_.c_str()), index);
}

DWORD CLogFileRing::Open(DWORD maxSize, DWORD maxEntries, UniqueFileHandle& file) const noexcept {
    if (folder_.empty() || baseName_.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    if (file) {
        return ERROR_ALREADY_EXISTS;
    }
    try {
        const DWORD index = ReadCurrentIndex();
        if (index >= maxEntries) {
            return StartFile(0, file);
        }
        return OpenAt(index, maxSize, maxEntries, file);
    } catch (const std::bad_alloc&) {
        file.reset();
        return ERROR_OUTOFMEMORY;
    }
}

// A file that has reached maxSize stays as it is; writing moves on to the next number.
DWORD CLogFileRing::OpenAt(DWORD index, DWORD maxSize, DWORD maxEntries, UniqueFileHandle& file) const {
    const std::wstring name = FileName(index);
    WIN32_FILE_ATTRIBUTE_DATA found{};
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &found)) {
        const DWORD error = GetLastError();
        // Only a file that is really missing may be created afresh: creating empties.
        return error == ERROR_FILE_NOT_FOUND ? CreateWithByteOrderMark(name, file) : error;
    }
    const ULONGLONG size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    if (size < maxSize) {
        return OpenAtEnd(name, file);
    }
    return StartFile(index + 1 < maxEntries ? index + 1 : 0, file);
}

DWORD CLogFileRing::StartFile(DWORD index, UniqueFileHandle& file) const {
    if (const DWORD error = CreateWithByteOrderMark(FileName(index), file)) {
        return error;
    }
    StoreCurrentIndex(index);
    return ERROR_SUCCESS;
}

// Used as stored: a number beyond the ring sends writing back to 000.
DWORD CLogFileRing::ReadCurrentIndex() const {
    if (!Vornix::fileExists(perLogIniPath_.c_str())) {
        return 0;
    }
    Vornix::CObfuscatedIniReader ini(Vornix::CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    int index = 0;
    if (!ini.Load(perLogIniPath_) || !ini.GetInt(LOG_INI_SECTION, LOG_INI_LAST_INDEX, index)) {
        return 0;
    }
    return static_cast<DWORD>(index);
}

// A failure only means that the next write starts from the number stored before.
void CLogFileRing::StoreCurrentIndex(DWORD index) const {
    Vornix::CObfuscatedIniReader ini(Vornix::CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    ini.Load(perLogIniPath_);
    ini.WriteInt(LOG_INI_SECTION, LOG_INI_LAST_INDEX, static_cast<int>(index));
}

} // namespace ETWLogging
