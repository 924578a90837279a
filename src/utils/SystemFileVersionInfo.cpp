#include "utils/SystemFileVersionInfo.h"

#include <new>

#include "utils/UniqueResource.h"

namespace Vornix {

SystemFileVersionInfo::SystemFileVersionInfo(std::shared_ptr<ShlObjAPI> shellApi)
    : shellApi_(shellApi ? std::move(shellApi) : std::make_shared<ShlObjAPI>()) {}

bool SystemFileVersionInfo::load(const std::wstring& fileName) {
    try {
        const std::wstring& folder = systemFolderPath();
        // Without the system folder the name would be taken from the current drive's root, and
        // a file planted there would pass for the system's own.
        return !folder.empty() && FileVersionInfo::load(folder + fileName);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

const std::wstring& SystemFileVersionInfo::systemFolderPath() {
    if (!systemFolder_.empty()) {
        return systemFolder_;
    }
    UniqueCoTaskMemString path;
    const HRESULT result = shellApi_->getKnownFolderPath(FOLDERID_System, 0, nullptr, path.put());
    if (SUCCEEDED(result) && path && *path.get() != L'\0') {
        systemFolder_ = std::wstring(path.get()) + L'\\';
    }
    return systemFolder_;
}

} // namespace Vornix
