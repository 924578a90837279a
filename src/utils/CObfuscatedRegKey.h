#pragma once

#include "utils/CRegKey.h"

namespace Vornix {

// A registry key whose values are stored scrambled; the typed operations are those of CRegKey.
class CObfuscatedRegKey : public CRegKey {
public:
    CObfuscatedRegKey();
};

} // namespace Vornix
