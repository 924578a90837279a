#include "wrappers/OSVersionDetector.h"

#include <string>
#include <string_view>

#include "wrappers/OSKind.h"
#include "wrappers/SystemVersionReader.h"

namespace Vornix {
namespace internal {

namespace {

// Minor versions of the 9x family are searched in blocks of 8 below this bound.
constexpr DWORD NineXMinorBound = 104;

struct NTRelease {
    unsigned kind;
    unsigned platformClass;
    WORD highestServicePack; // 0: the release is not probed
};

NTRelease ntReleaseOf(uint32_t major, uint32_t minor) {
    if (major <= 4) {
        return {OSKindNT4OrEarlier, PlatformClassBeforeXP, 0};
    }
    if (major == 5) {
        return minor == 0 ? NTRelease{OSKindWindows2000, PlatformClassBeforeXP, 4}
                          : NTRelease{OSKindWindowsXPOr2003, PlatformClassXPOrLater, 3};
    }
    if (major == 6) {
        switch (minor) {
        case 0:
            return {OSKindNT60, PlatformClassXPOrLater, 2};
        case 1:
            return {OSKindNT61, PlatformClassXPOrLater, 1};
        case 2:
            return {OSKindNT62, PlatformClassXPOrLater, 0};
        default:
            return {OSKindNT63OrLater, PlatformClassXPOrLater, 0};
        }
    }
    return {major == 10 ? OSKindNT10 : OSKindOther, PlatformClassXPOrLater, 0};
}

// A piece must begin with a decimal digit; what follows its digits is ignored, so that a tag as
// in "1350 (build)" still reads. Empty pieces, signs and numbers beyond 32 bits do not parse.
bool parsePiece(std::wstring_view piece, uint32_t& number) {
    uint64_t value = 0;
    std::size_t digits = 0;
    for (; digits < piece.size() && piece[digits] >= L'0' && piece[digits] <= L'9'; ++digits) {
        value = value * 10 + static_cast<uint64_t>(piece[digits] - L'0');
        if (value > MAXDWORD) {
            return false;
        }
    }
    number = static_cast<uint32_t>(value);
    return digits > 0;
}

// Up to four dot-separated numbers; missing ones stay 0, further pieces are not read.
bool parseVersionText(std::wstring_view text, ModuleVersionQuad& version) {
    if (text.empty()) {
        return false;
    }
    uint32_t numbers[4] = {};
    std::size_t start = 0;
    for (uint32_t& number : numbers) {
        const std::size_t dot = text.find(L'.', start);
        if (!parsePiece(text.substr(start, dot - start), number)) {
            return false;
        }
        if (dot == std::wstring_view::npos) {
            break;
        }
        start = dot + 1;
    }
    version = {numbers[0], numbers[1], numbers[2], numbers[3]};
    return true;
}

OSVERSIONINFOEXW blankVersionInfo() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    return info;
}

} // namespace

OSVersionDetector::OSVersionDetector(std::shared_ptr<WinOSVersionAPI> versionApi,
                                     std::shared_ptr<ISystemVersionReader> versionReader)
    : versionApi_(versionApi ? std::move(versionApi) : std::make_shared<WinOSVersionAPI>()),
      versionReader_(versionReader ? std::move(versionReader) : std::make_shared<SystemVersionReader>()) {}

bool OSVersionDetector::detect() {
    if (!readSystemVersion()) {
        return false;
    }
    if (isPlatform(VER_PLATFORM_WIN32_WINDOWS)) {
        return classifyNineX();
    }
    if (isPlatform(VER_PLATFORM_WIN32_NT)) {
        classifyNT();
        return true;
    }
    return false;
}

bool OSVersionDetector::isPlatform(DWORD platformId) const {
    OSVERSIONINFOEXW info = blankVersionInfo();
    info.dwPlatformId = platformId;
    return passes(info, VER_PLATFORMID, VER_EQUAL);
}

bool OSVersionDetector::readSystemVersion() {
    std::wstring text;
    return versionReader_->readProductVersion(text) && parseVersionText(text, systemVersion_);
}

bool OSVersionDetector::classifyNineX() {
    DWORD minor = 0;
    if (!findNineXMinor(minor)) {
        return false;
    }
    version_ = {4, minor, 0};
    kind_ = minor == 0 ? OSKindWindows95 : minor < 90 ? OSKindWindows98 : OSKindWindowsMe;
    platformClass_ = PlatformClassBeforeXP;
    return true;
}

void OSVersionDetector::classifyNT() {
    const NTRelease release = ntReleaseOf(systemVersion_.major, systemVersion_.minor);
    version_ = {systemVersion_.major, systemVersion_.minor, probeServicePack(release.highestServicePack)};
    kind_ = release.kind;
    platformClass_ = release.platformClass;
}

// The system answers only comparisons: find the block of 8 below the minor version, then halve.
bool OSVersionDetector::findNineXMinor(DWORD& minor) const {
    DWORD bound = 8;
    while (bound <= NineXMinorBound && !minorVersionIs(VER_LESS, bound)) {
        bound += 8;
    }
    if (bound > NineXMinorBound) {
        return false;
    }
    DWORD guess = bound - 4;
    for (const DWORD step : {2u, 1u}) {
        guess = minorVersionIs(VER_LESS, guess) ? guess - step : guess + step;
    }
    minor = minorVersionIs(VER_EQUAL, guess) ? guess : guess - 1;
    return true;
}

WORD OSVersionDetector::probeServicePack(WORD highest) const {
    for (WORD candidate = highest; candidate >= 1; --candidate) {
        if (servicePackIs(candidate)) {
            return candidate;
        }
    }
    return 0;
}

bool OSVersionDetector::minorVersionIs(BYTE condition, DWORD minor) const {
    OSVERSIONINFOEXW info = blankVersionInfo();
    info.dwMinorVersion = minor;
    return passes(info, VER_MINORVERSION, condition);
}

bool OSVersionDetector::servicePackIs(WORD servicePackMajor) const {
    OSVERSIONINFOEXW info = blankVersionInfo();
    info.wServicePackMajor = servicePackMajor;
    return passes(info, VER_SERVICEPACKMAJOR, VER_EQUAL);
}

// Only an answer of exactly TRUE counts.
bool OSVersionDetector::passes(OSVERSIONINFOEXW& info, DWORD typeMask, BYTE condition) const {
    return versionApi_->verifyVersionInfo(&info, typeMask, VerSetConditionMask(0, typeMask, condition)) ==
           TRUE;
}

} // namespace internal
} // namespace Vornix
