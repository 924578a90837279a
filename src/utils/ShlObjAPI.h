#pragma once

#include <windows.h>
#include <shlobj.h>

namespace Vornix {

// Known folders for the system file versions. The caller frees the path with CoTaskMemFree.
class ShlObjAPI {
public:
    virtual ~ShlObjAPI() = default;
    virtual HRESULT getKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path);
};

} // namespace Vornix
