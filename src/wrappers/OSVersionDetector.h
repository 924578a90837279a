#pragma once

#include <memory>

#include <windows.h>

#include "wrappers/ISystemVersionReader.h"
#include "wrappers/ModuleVersionQuad.h"
#include "wrappers/OSVersionRecord.h"
#include "wrappers/WinOSVersionAPI.h"

namespace Vornix {
namespace internal {

// Classifies the running Windows: version numbers from the system library's product version,
// family and service pack from version comparisons. No locking; OSInfoProxy runs it once.
class OSVersionDetector {
public:
    // Empty pointers select the system's own comparisons and kernel32's version resource.
    OSVersionDetector(std::shared_ptr<WinOSVersionAPI> versionApi,
                      std::shared_ptr<ISystemVersionReader> versionReader);

    // False when the product version cannot be read or parsed, or the family is not known;
    // the answers below then mean nothing.
    bool detect();

    // One comparison of the platform id; needs no detection.
    bool isPlatform(DWORD platformId) const;

    const OSVersionRecord& version() const { return version_; }
    const ModuleVersionQuad& systemVersion() const { return systemVersion_; }
    unsigned kind() const { return kind_; }
    unsigned platformClass() const { return platformClass_; }

private:
    bool readSystemVersion();
    bool classifyNineX();
    void classifyNT();
    bool findNineXMinor(DWORD& minor) const;
    WORD probeServicePack(WORD highest) const;
    bool minorVersionIs(BYTE condition, DWORD minor) const;
    bool servicePackIs(WORD servicePackMajor) const;
    bool passes(OSVERSIONINFOEXW& info, DWORD typeMask, BYTE condition) const;

    std::shared_ptr<WinOSVersionAPI> versionApi_;
    std::shared_ptr<ISystemVersionReader> versionReader_;
    OSVersionRecord version_;
    ModuleVersionQuad systemVersion_;
    unsigned kind_ = 0;
    unsigned platformClass_ = 0;
};

} // namespace internal
} // namespace Vornix
