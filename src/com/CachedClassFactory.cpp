#include "com/CachedClassFactory.h"

#include <new>

#include "com/CPelmoraModule.h"

namespace Corvane::Com {

HRESULT CachedClassFactory::create(CPelmoraModule& module, ObjectMapEntry::CreateInstance creator,
                                   IUnknown** cached) noexcept {
    auto* factory = new (std::nothrow) CachedClassFactory(module, creator);
    if (factory == nullptr) {
        return E_OUTOFMEMORY;
    }
    factory->AddRef();
    *cached = factory;
    return S_OK;
}

HRESULT CachedClassFactory::QueryInterface(REFIID interfaceId, void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CachedClassFactory::AddRef() noexcept {
    const ULONG count = ++references_;
    if (count == 2) {
        module_.Lock();
    }
    return count;
}

ULONG CachedClassFactory::Release() noexcept {
    const ULONG count = --references_;
    if (count == 0) {
        delete this;
    } else if (count == 1) {
        module_.Unlock();
    }
    return count;
}

HRESULT CachedClassFactory::CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr && !IsEqualIID(interfaceId, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;
    }
    return creator_(outer, interfaceId, object);
}

HRESULT CachedClassFactory::LockServer(BOOL lock) noexcept {
    if (lock) {
        module_.Lock();
    } else {
        module_.Unlock();
    }
    return S_OK;
}

} // namespace Corvane::Com
