#pragma once

#include "com/CPelmoraModule.h"

namespace Corvane::Com {

// Keeps the module locked for one scope.
class ModuleLock {
public:
    ModuleLock() noexcept { CPelmoraModule::instance().Lock(); }
    ~ModuleLock() { CPelmoraModule::instance().Unlock(); }

    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};

} // namespace Corvane::Com
