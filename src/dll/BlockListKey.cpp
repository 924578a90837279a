#include "dll/BlockListKey.h"

#include <algorithm>
#include <cwctype>

namespace Corvane {

std::wstring BlockListKey::pathOf(const std::wstring& fileName) {
    return std::wstring(listPath()) + L'\\' + lowerCase(fileName);
}

std::wstring BlockListKey::lowerCase(std::wstring fileName) {
    std::transform(fileName.begin(), fileName.end(), fileName.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return fileName;
}

} // namespace Corvane
