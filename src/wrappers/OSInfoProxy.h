#pragma once

#include <atomic>
#include <memory>

#include "wrappers/ISystemVersionReader.h"
#include "wrappers/ModuleVersionQuad.h"
#include "wrappers/OSKind.h"
#include "wrappers/OSVersionDetector.h"
#include "wrappers/OSVersionRecord.h"
#include "wrappers/WinOSVersionAPI.h"

namespace Vornix {
namespace internal {

// Answers about the running Windows. The release is detected on the first question that needs
// it and kept; a failed detection is tried again by the next question. Any thread may ask.
class OSInfoProxy {
public:
    // Empty pointers select the system's own comparisons and kernel32's version resource.
    explicit OSInfoProxy(std::shared_ptr<WinOSVersionAPI> versionApi = nullptr,
                         std::shared_ptr<ISystemVersionReader> versionReader = nullptr);
    virtual ~OSInfoProxy() = default;
    OSInfoProxy(const OSInfoProxy&) = delete;
    OSInfoProxy& operator=(const OSInfoProxy&) = delete;

    // An OSKind; OSKindUnknown when detection fails.
    virtual unsigned getOSKind();
    // PlatformClassBeforeXP (9x, NT 4, 2000) or PlatformClassXPOrLater; PlatformClassUnknown
    // when detection fails.
    virtual unsigned getPlatformClass();
    // version is zeroed, then filled when detected; false as well for an unknown major version.
    virtual bool getOSVersion(OSVersionRecord& version);
    // The outs start as OSKindUnknown and PlatformClassUnknown.
    virtual bool getOSKindAndPlatform(unsigned& kind, unsigned& platformClass);
    // Needs no detection.
    virtual bool isWow64Process();
    // Needs no detection.
    virtual bool isNTPlatform();
    // kernel32's product version; version is zeroed, then filled when detected.
    virtual bool getSystemVersion(ModuleVersionQuad& version);

private:
    bool ensureDetected();
    bool runDetection();

    std::atomic<int> onceState_{0};
    OSVersionDetector detector_;
};

} // namespace internal
} // namespace Vornix
