#include "FileSnapshot.h"

#include "utils/UniqueResource.h"

namespace hxconfig {

namespace {
DWORD readAll(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return GetLastError();
    }
    // Settings files are small; a huge one is not what this tool was pointed at.
    if (size.QuadPart > MAXDWORD / 2) {
        return ERROR_FILE_TOO_LARGE;
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return GetLastError();
    }
    bytes.resize(read);
    return ERROR_SUCCESS;
}

DWORD writeAll(const std::wstring& path, const std::string& bytes) {
    Vornix::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GetLastError();
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        return GetLastError();
    }
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}
} // namespace

DWORD FileSnapshot::take(const std::wstring& path) {
    path_ = path;
    existed_ = false;
    bytes_.clear();
    // Shared as the platform's profile functions open it, so that a reader elsewhere is no obstacle.
    Vornix::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    existed_ = true;
    return readAll(file.get(), bytes_);
}

DWORD FileSnapshot::restore() const {
    // A file the write never reached may be one that cannot be written at all.
    FileSnapshot now;
    if (now.take(path_) == ERROR_SUCCESS && now.existed_ == existed_ && now.bytes_ == bytes_) {
        return ERROR_SUCCESS;
    }
    if (existed_) {
        return writeAll(path_, bytes_);
    }
    if (!DeleteFileW(path_.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

} // namespace hxconfig
