#include "dll/PathHelpers.h"

#include <utility>

#include "dll/PathMacroTable.h"

namespace Corvane {

PathHelpers::PathHelpers(std::shared_ptr<ShlObjAPI> shell, std::shared_ptr<OSInfo> osInfo,
                         std::shared_ptr<RegistryAPI> registry)
    : impl_(std::make_shared<_Impl>()) {
    impl_->shell = shell ? std::move(shell) : std::make_shared<ShlObjAPI>();
    impl_->osInfo = osInfo ? std::move(osInfo) : std::make_shared<OSInfo>();
    impl_->registry = registry ? std::move(registry) : std::make_shared<RegistryAPI>();
}

bool PathHelpers::resolvePath(std::wstring& path) {
    try {
        path = expanded(path);
        return true;
    } catch (...) {
        return false;
    }
}

std::wstring PathHelpers::expanded(const std::wstring& path) const {
    std::wstring result;
    std::wstring rest = path;
    std::wsmatch match;
    while (std::regex_search(rest, match, PathMacroTable::syntax())) {
        const std::wstring macro = match.str();
        std::wstring value;
        if (const PathMacroTable::Provider* provider = PathMacroTable::find(macro)) {
            value = (*provider)(*impl_);
        }
        result += match.prefix().str();
        result += value.empty() ? macro : value;
        rest = match.suffix().str();
    }
    return result + rest;
}

} // namespace Corvane
