#include "dll/KnownLibraries.h"

#include <algorithm>

namespace Corvane {

const std::vector<std::wstring>& KnownLibraries::names() {
    static const std::vector<std::wstring> table = {L"hostwatch.dll", L"configstore.dll", L"unitregistry.dll",
                                                    L"eventrelay.dll"};
    return table;
}

bool KnownLibraries::contains(const std::wstring& lowerCaseName) {
    const auto& table = names();
    return std::find(table.begin(), table.end(), lowerCaseName) != table.end();
}

} // namespace Corvane
