#include "dll/HostExecutableParts.h"

#include <cstdlib>
#include <mutex>

#include <windows.h>

namespace Corvane {

namespace {
struct Parts {
    wchar_t drive[4] = L"";
    wchar_t directory[257] = L"";
    wchar_t fileName[257] = L"";
    wchar_t extension[257] = L"";
};

const Parts& hostParts() {
    static Parts parts;
    static std::once_flag filled;
    std::call_once(filled, [] {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        // A cut path would name another file: then every part stays empty.
        if (length == 0 || length >= MAX_PATH ||
            _wsplitpath_s(path, parts.drive, 4, parts.directory, 257, parts.fileName, 257, parts.extension, 257) != 0) {
            parts = Parts();
        }
    });
    return parts;
}
} // namespace

std::wstring HostExecutableParts::join(unsigned selected) {
    const Parts& parts = hostParts();
    std::wstring joined;
    if (selected & DRIVE) {
        joined += parts.drive;
    }
    if (selected & DIRECTORY) {
        joined += parts.directory;
    }
    if (selected & FILE_NAME) {
        joined += parts.fileName;
    }
    if (selected & EXTENSION) {
        joined += parts.extension;
    }
    return joined;
}

} // namespace Corvane
