// The library's four exports (named in EventRelay.def).

#include "BusEntryPoints.h"

using namespace Corvane;

namespace {
// ReleaseObject is a no-op: the table is static and lives as long as the library.
constexpr const wchar_t* LIBRARY_VERSION_TEXT = L"1.0.0.0";
} // namespace

extern "C" {

BusFunctions* CreateObject(std::uint32_t version) {
    return version == BUS_FUNCTIONS_VERSION ? EventRelay::BusEntryPoints::table() : nullptr;
}

void ReleaseObject(BusFunctions*) {}

const wchar_t* GetVersionStr() {
    return LIBRARY_VERSION_TEXT;
}

// The table version served, the one number a host may ask CreateObject for.
std::uint32_t GetVersionNum() {
    return BUS_FUNCTIONS_VERSION;
}
}
