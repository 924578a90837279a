#pragma once

#include <windows.h>

#include <bcrypt.h>

#include "utils/UniqueResource.h"

namespace Vornix {

struct BcryptAlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { BCryptCloseAlgorithmProvider(h, 0); }
};

struct BcryptHashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { BCryptDestroyHash(h); }
};

using UniqueBcryptAlgorithm = UniqueResource<BcryptAlgorithmTraits>;
using UniqueBcryptHash = UniqueResource<BcryptHashTraits>;

} // namespace Vornix
