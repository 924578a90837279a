#include "utils/CObfuscatedRegKey.h"

#include <memory>

#include "utils/CObfuscatedRegKeyImpl.h"

namespace Vornix {

CObfuscatedRegKey::CObfuscatedRegKey() : CRegKey(std::make_shared<CObfuscatedRegKeyImpl>()) {}

} // namespace Vornix
