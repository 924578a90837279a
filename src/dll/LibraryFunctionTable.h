#pragma once

#include <windows.h>

namespace Corvane {

// The four exports of a bus library, untyped; their signatures belong to the bus library
// interface. All null until imported.
struct LibraryFunctionTable {
    FARPROC createObject = nullptr;
    FARPROC releaseObject = nullptr;
    FARPROC getVersionStr = nullptr;
    FARPROC getVersionNum = nullptr;
};

} // namespace Corvane
