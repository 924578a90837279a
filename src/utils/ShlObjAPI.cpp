#include "utils/ShlObjAPI.h"

namespace Vornix {

HRESULT ShlObjAPI::getKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path) {
    return SHGetKnownFolderPath(folder, flags, token, path);
}

} // namespace Vornix
