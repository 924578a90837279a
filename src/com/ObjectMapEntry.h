#pragma once

#include <atomic>

#include <unknwn.h>

namespace Corvane::Com {

// One class the module serves.
struct ObjectMapEntry {
    using UpdateRegistry = HRESULT (*)(bool doRegister) noexcept;
    using CreateInstance = HRESULT (*)(IUnknown* outer, REFIID interfaceId, void** object) noexcept;

    const CLSID* classId;
    UpdateRegistry updateRegistry;
    CreateInstance createInstance;
    // Made on first request and kept until the module goes; guarded by the module.
    std::atomic<IUnknown*> classObject;
};

} // namespace Corvane::Com
