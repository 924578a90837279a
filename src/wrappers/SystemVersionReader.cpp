#include "wrappers/SystemVersionReader.h"

#include "utils/SystemFileVersionInfo.h"

namespace Vornix {
namespace internal {

bool SystemVersionReader::readProductVersion(std::wstring& text) {
    SystemFileVersionInfo kernel32;
    if (!kernel32.load(L"kernel32.dll")) {
        return false;
    }
    text = kernel32.getStringValue(L"ProductVersion");
    return true;
}

} // namespace internal
} // namespace Vornix
