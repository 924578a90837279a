#include "wrappers/ShlObjAPI.h"

namespace Corvane {

HRESULT ShlObjAPI::getKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path) {
    return SHGetKnownFolderPath(folder, flags, token, path);
}

} // namespace Corvane
