#pragma once

#include <memory>
#include <string>

#include "utils/FileVersionInfo.h"
#include "utils/ShlObjAPI.h"

namespace Vornix {

// Version resource of a file named relative to the Windows system folder.
class SystemFileVersionInfo : public FileVersionInfo {
public:
    // An empty pointer makes the object use the system's known folders.
    explicit SystemFileVersionInfo(std::shared_ptr<ShlObjAPI> shellApi = nullptr);

    // False as well when the system folder cannot be found.
    bool load(const std::wstring& fileName) override;

private:
    // Empty when the folder cannot be found; a found folder is kept, a failure asked again.
    const std::wstring& systemFolderPath();

    std::shared_ptr<ShlObjAPI> shellApi_;
    std::wstring systemFolder_;
};

} // namespace Vornix
