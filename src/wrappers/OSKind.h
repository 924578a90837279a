#pragma once

namespace Vornix {
namespace internal {

// Release numbers as answered by OSInfoProxy::getOSKind.
enum OSKind : unsigned {
    OSKindUnknown = 0,
    OSKindWindows95 = 1,
    OSKindWindows98 = 2,
    OSKindNT4OrEarlier = 3,
    OSKindWindows2000 = 4,
    OSKindWindowsMe = 5,
    OSKindWindowsXPOr2003 = 6,
    OSKindNT60 = 7,
    OSKindNT61 = 8,
    OSKindNT62 = 9,
    OSKindNT63OrLater = 10, // any 6.x from 6.3
    OSKindNT10 = 11,
    OSKindOther = 12,
};

// Platform classes as answered by OSInfoProxy::getPlatformClass.
enum PlatformClass : unsigned {
    PlatformClassBeforeXP = 0,
    PlatformClassXPOrLater = 1,
    PlatformClassUnknown = 2,
};

} // namespace internal
} // namespace Vornix
