#pragma once

#include <memory>
#include <string>

#include "wrappers/OSInfoProxy.h"
#include "wrappers/RegistryAPI.h"
#include "wrappers/ShlObjAPI.h"

namespace Corvane {

using OSInfo = Vornix::internal::OSInfoProxy;

// Expands path macros such as "$(App.Folder)" or "$(Tamrok.InstallDir)" in search paths.
// Unknown macros and macros without a value stay in the text as they are.
class PathHelpers {
public:
    // The services the macro values come from.
    class _Impl {
    public:
        std::shared_ptr<ShlObjAPI> shell;
        std::shared_ptr<OSInfo> osInfo;
        std::shared_ptr<RegistryAPI> registry;
    };

    // Empty pointers give the default services (a new OS information object per PathHelpers).
    explicit PathHelpers(std::shared_ptr<ShlObjAPI> shell = nullptr, std::shared_ptr<OSInfo> osInfo = nullptr,
                         std::shared_ptr<RegistryAPI> registry = nullptr);
    virtual ~PathHelpers() = default;

    // Replaces every macro once, left to right; values are not scanned again. False, with the
    // path left as it was, when the expansion fails (memory runs out, or a service throws);
    // a macro that stays in the text is no failure.
    virtual bool resolvePath(std::wstring& path);

private:
    std::wstring expanded(const std::wstring& path) const;

    std::shared_ptr<_Impl> impl_;
};

} // namespace Corvane
