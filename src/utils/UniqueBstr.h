#pragma once

#include <windows.h>

#include <oleauto.h>

#include "utils/UniqueResource.h"

namespace Corvane::Com {

struct BstrTraits {
    using Handle = BSTR;
    static Handle empty() { return nullptr; }
    static void close(Handle text) { SysFreeString(text); }
};

using UniqueBstr = Vornix::UniqueResource<BstrTraits>;

} // namespace Corvane::Com
