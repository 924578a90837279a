#pragma once

#include <windows.h>

#include "utils/UniqueResource.h"

namespace FileLogTests {

// A view of a file mapping, given back by UnmapViewOfFile.
struct MappedViewTraits {
    using Handle = void*;
    static Handle empty() { return nullptr; }
    static void close(Handle view) { UnmapViewOfFile(view); }
};

using UniqueMappedView = Vornix::UniqueResource<MappedViewTraits>;

} // namespace FileLogTests
