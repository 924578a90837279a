#pragma once

#include <windows.h>
#include <shlobj.h>

namespace Corvane {

// Known folders for the path macros. The caller frees the path with CoTaskMemFree.
class ShlObjAPI {
public:
    // No virtual destructor: users hold it by a shared pointer made for the concrete type.
    virtual HRESULT getKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path);
};

} // namespace Corvane
