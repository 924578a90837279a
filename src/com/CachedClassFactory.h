#pragma once

#include <atomic>

#include <unknwn.h>

#include "com/ObjectMapEntry.h"

namespace Corvane::Com {

class CPelmoraModule;

// The class object of one class, kept in the module's cache. The cache's own reference does
// not lock the module; while anyone else holds one, the module stays locked once.
class CachedClassFactory final : public IClassFactory {
public:
    // The new factory with the cache's reference.
    static HRESULT create(CPelmoraModule& module, ObjectMapEntry::CreateInstance creator,
                          IUnknown** cached) noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID interfaceId,
                                             void** object) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

private:
    CachedClassFactory(CPelmoraModule& module, ObjectMapEntry::CreateInstance creator) noexcept
        : module_(module), creator_(creator) {}
    ~CachedClassFactory() = default;

    CPelmoraModule& module_;
    ObjectMapEntry::CreateInstance creator_;
    std::atomic<ULONG> references_{0};
};

} // namespace Corvane::Com
