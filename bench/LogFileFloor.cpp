#include "LogFileFloor.h"

#include <cwchar>

#include <windows.h>

#include "utils/CObfuscatedIniReader.h"
#include "utils/UniqueResource.h"

namespace PelmoraBench {

LogFileFloor::LogFileFloor(std::wstring perLogIni, std::wstring namePrefix)
    : perLogIni_(std::move(perLogIni)), namePrefix_(std::move(namePrefix)) {}

int LogFileFloor::currentIndex() const {
    Vornix::CObfuscatedIniReader ini(Vornix::CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    int index = 0;
    if (!ini.Load(perLogIni_) || !ini.GetInt(L"Config", L"LastLogIdx", index)) {
        return 0;
    }
    return index;
}

bool LogFileFloor::append(const std::wstring& line) const {
    wchar_t number[16];
    std::swprintf(number, 16, L"%03d.log", currentIndex());
    const Vornix::UniqueFileHandle file(CreateFileW(
        (namePrefix_ + number).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_END)) {
        return false;
    }
    const auto bytes = static_cast<DWORD>(line.size() * sizeof(wchar_t));
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), bytes, &written, nullptr) && written == bytes;
}

} // namespace PelmoraBench
